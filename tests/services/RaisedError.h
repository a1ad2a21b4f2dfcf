#pragma once

#include <functional>

#include "AppError.h"

// Runs `action` and returns the AppError it raised; Number is 0 when it raised none.
inline AppError Raised(const std::function<void()>& action) {
    try {
        action();
    } catch (const AppError& error) {
        return error;
    }
    return AppError();
}

#pragma once

#include <QString>
#include <functional>

class QWidget;
class AppError;

namespace zs {

// Runs an event handler. An error that leaves it (an AppError, or any other
// exception mapped to a number as ErrorIn does) abandons the handler's work
// and is shown in a critical message box titled with the application's name;
// the program keeps running. Returns true when the handler finished.
bool RunTopLevel(QWidget* parent, const std::function<void()>& handler);

// The text of that box: "Error <number>", a blank line, then the report.
QString TopLevelMessage(const AppError& error);

}  // namespace zs

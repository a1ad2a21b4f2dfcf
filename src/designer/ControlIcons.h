#pragma once

#include <QIcon>

// Widget-box icons of the controls, drawn in code at 22 and 44 pixels.
namespace zs::designer {

QIcon ButtonIcon();
QIcon MaskEditIcon();

}  // namespace zs::designer

#pragma once

#include <QFont>
#include <QtGlobal>

class QWidget;

// The ambient properties a control reads from the window that hosts it.
// A host is in design mode when it (or any widget it sits in) carries the
// dynamic property DesignModeProperty = true; otherwise the application-wide
// default applies, which is run mode unless a designer sets it.
class Ambient {
public:
    static constexpr const char* DesignModeProperty = "zsDesignMode";
    static constexpr const char* BackColorProperty = "zsAmbientBackColor";

    // False only in design mode.
    static bool UserMode(const QWidget* control);

    // Marks `host` (and every control inside it) as in design or run mode.
    static void SetDesignMode(QWidget* host, bool designMode);

    // The mode of controls whose hosts say nothing.
    static void SetDefaultDesignMode(bool designMode);

    // The host's font; the application font when the control has no host.
    static QFont Font(const QWidget* control);

    // The host's background as a stored colour number: the host's
    // BackColorProperty when set, else its window colour; the button-face
    // system colour 0x8000000F when the control has no host.
    static quint32 BackColor(const QWidget* control);
};

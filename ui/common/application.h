// The application object. An error that no operation catches ends the
// command in which it arose and is shown here; the program goes on.
#pragma once

#include <QApplication>

namespace lty {

class TApplication : public QApplication {
public:
    TApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;

    // The general error report: stop icon, OK button, the application title.
    static void ReportError(const std::string& text);
};

} // namespace lty

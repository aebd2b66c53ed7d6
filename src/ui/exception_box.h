#pragma once

#include <QString>
#include <functional>

namespace m797::ui {

// What happens to an exception that escapes a handler entered from the event loop: its message
// is shown in an error box titled with the application's title, and the program goes on.  Tests
// replace the box with a recorder.
using ExceptionPresenter = std::function<void(const QString& message)>;

// Replaces the presenter; an empty one restores the error box.  Main thread only.
void SetExceptionPresenter(ExceptionPresenter presenter);

// Shows one message as the error box does.
void PresentException(const QString& message);

// Runs a handler; an exception it raises is presented instead of passing on.
void RunHandler(const std::function<void()>& handler);

}  // namespace m797::ui

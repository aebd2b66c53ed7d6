#include "ui/exception_box.h"

#include <QApplication>
#include <QMessageBox>
#include <exception>
#include <utility>

#include "ui/form_texts.h"

namespace m797::ui {

namespace {

ExceptionPresenter& Presenter() {
  static ExceptionPresenter presenter;
  return presenter;
}

void ShowErrorBox(const QString& message) {
  QMessageBox::critical(QApplication::activeWindow(), QString::fromUtf8(texts::kApplicationTitle),
                        message);
}

}  // namespace

void SetExceptionPresenter(ExceptionPresenter presenter) {
  Presenter() = std::move(presenter);
}

void PresentException(const QString& message) {
  // A copy: the presenter may replace itself while it runs.
  const ExceptionPresenter presenter = Presenter();
  if (presenter)
    presenter(message);
  else
    ShowErrorBox(message);
}

void RunHandler(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& e) {
    PresentException(QString::fromUtf8(e.what()));
  } catch (...) {
    PresentException(QStringLiteral("Unknown exception"));
  }
}

}  // namespace m797::ui

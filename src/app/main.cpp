#include <QApplication>
#include <QIcon>
#include <QMessageBox>
#include <cstdio>
#include <memory>

#include "app/automation_view.h"
#include "app/choose_form.h"
#include "app/first_paint_view.h"
#include "app/quvial_form.h"
#include "core/atomic_file.h"
#include "core/pauser.h"
#include "core/program_dir.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("大屏拼接控制系统"));
  QApplication::setApplicationDisplayName(QStringLiteral("大屏拼接控制系统"));
  QApplication::setQuitOnLastWindowClosed(false);
  // Ties the windows to the installed desktop entry and its icon.
  QGuiApplication::setDesktopFileName(QStringLiteral("org.quvial.Quvial"));
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/quvial.svg")));

  // An installed console keeps its files in the user's data directory,
  // made on the first start; without a writable one it would lose every
  // setting, so it says so and stops.
  const QString problem = PrepareProgramDir(CurrentProgramDirPlace());
  if (!problem.isEmpty()) {
    std::fprintf(stderr, "quvial: %s\n", qUtf8Printable(problem));
    QMessageBox::critical(nullptr, QStringLiteral("Quvial"), problem);
    return 1;
  }

  // Temporaries of writes that a crash or a kill interrupted.
  RemoveStaleTemporaries(ProgramDir());

  EventLoopPauser pauser;
  TChooseForm choose;
  std::unique_ptr<TQuvialForm> mainForm;
  choose.onChosen = [&](const TDeviceChoice& choice) {
    mainForm = std::make_unique<TQuvialForm>(choice, pauser);
    QObject::connect(mainForm.get(), &TQuvialForm::quitRequested, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    mainForm->SetStartupNetworkSearch(true);
    mainForm->show();
  };
  QObject::connect(&choose, &QDialog::rejected, &app, &QCoreApplication::quit);
  InstallFirstPaintProbe();
  InstallAutomation(choose, [&mainForm] { return mainForm.get(); });
  choose.show();
  const int rc = QApplication::exec();
  mainForm.reset();
  return rc;
}

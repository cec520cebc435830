#include <QApplication>
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

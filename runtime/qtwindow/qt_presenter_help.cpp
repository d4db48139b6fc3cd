// The help window of the Qt presenter: the user guide in a browser window
// of its own beside the program's, opened at the topic asked for.
#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>

#include "runtime/qtwindow/qt_icons.h"
#include "runtime/qtwindow/qt_presenter.h"

namespace ledora::runtime {

void QtPresenter::ShowHelp(const std::string& file, const std::string& topic) {
  auto* browser = qobject_cast<QTextBrowser*>(help_.data());
  if (browser == nullptr) {
    browser = new QTextBrowser;
    browser->setWindowTitle(QStringLiteral("ledora Help"));
    browser->setWindowIcon(ProgramIcon());
    browser->resize(640, 560);
    browser->setOpenExternalLinks(true);
    help_ = browser;
  }
  QString path = QString::fromStdString(file);
  if (path.isEmpty() || !QFileInfo::exists(path)) {
    browser->setHtml(
        QStringLiteral("<h2>No user guide</h2><p>The guide (guide/index.html) was "
                       "not found beside the program.</p>"));
  } else {
    QUrl url = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    if (!topic.empty()) url.setFragment(QString::fromStdString(topic));
    browser->setSource(url);
    if (!topic.empty()) browser->scrollToAnchor(QString::fromStdString(topic));
  }
  browser->show();
  browser->raise();
  browser->activateWindow();
}

}  // namespace ledora::runtime

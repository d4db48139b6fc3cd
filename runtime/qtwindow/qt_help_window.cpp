#include "runtime/qtwindow/qt_help_window.h"

#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

#include "runtime/qtwindow/qt_icons.h"

namespace ledora::runtime {

namespace {

constexpr int kTopicRole = Qt::UserRole;

QString Text(const std::string& text) { return QString::fromUtf8(text.c_str()); }

}  // namespace

QtHelpWindow::QtHelpWindow() {
  setWindowTitle(QStringLiteral("ledora Help"));
  setWindowIcon(ProgramIcon());
  resize(860, 600);
  Build();
}

void QtHelpWindow::Build() {
  auto* splitter = new QSplitter(this);
  tabs_ = new QTabWidget(splitter);

  contents_ = new QTreeWidget;
  contents_->setHeaderHidden(true);
  tabs_->addTab(contents_, QStringLiteral("&Contents"));

  auto* indexPage = new QWidget;
  auto* indexLayout = new QVBoxLayout(indexPage);
  indexEntry_ = new QLineEdit;
  indexEntry_->setPlaceholderText(QStringLiteral("Type the first letters of a topic"));
  index_ = new QListWidget;
  indexLayout->addWidget(indexEntry_);
  indexLayout->addWidget(index_);
  tabs_->addTab(indexPage, QStringLiteral("&Index"));

  auto* searchPage = new QWidget;
  auto* searchLayout = new QVBoxLayout(searchPage);
  auto* searchRow = new QHBoxLayout;
  searchEntry_ = new QLineEdit;
  searchEntry_->setPlaceholderText(QStringLiteral("Words to look for"));
  auto* searchButton = new QPushButton(QStringLiteral("&Search"));
  searchRow->addWidget(searchEntry_);
  searchRow->addWidget(searchButton);
  found_ = new QLabel;
  results_ = new QListWidget;
  searchLayout->addLayout(searchRow);
  searchLayout->addWidget(found_);
  searchLayout->addWidget(results_);
  tabs_->addTab(searchPage, QStringLiteral("&Search"));

  browser_ = new QTextBrowser(splitter);
  browser_->setOpenExternalLinks(true);
  splitter->setStretchFactor(0, 1);
  splitter->setStretchFactor(1, 3);
  splitter->setSizes({240, 620});
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(splitter);

  auto show = [this](QListWidgetItem* item) {
    if (item != nullptr) ShowItem(item->data(kTopicRole).toInt());
  };
  connect(contents_, &QTreeWidget::itemActivated, this,
          [this](QTreeWidgetItem* item) { ShowItem(item->data(0, kTopicRole).toInt()); });
  connect(contents_, &QTreeWidget::itemClicked, this,
          [this](QTreeWidgetItem* item) { ShowItem(item->data(0, kTopicRole).toInt()); });
  connect(index_, &QListWidget::itemActivated, this, show);
  connect(index_, &QListWidget::itemClicked, this, show);
  connect(indexEntry_, &QLineEdit::textChanged, this, &QtHelpWindow::FillIndex);
  connect(indexEntry_, &QLineEdit::returnPressed, this, [this] {
    if (index_->count() > 0) ShowItem(index_->item(0)->data(kTopicRole).toInt());
  });
  connect(results_, &QListWidget::itemActivated, this, show);
  connect(results_, &QListWidget::itemClicked, this, show);
  connect(searchEntry_, &QLineEdit::returnPressed, this, [this] { Search(searchEntry_->text()); });
  connect(searchButton, &QPushButton::clicked, this, [this] { Search(searchEntry_->text()); });
  connect(browser_, &QTextBrowser::sourceChanged, this, &QtHelpWindow::Shown);
}

bool QtHelpWindow::Open(const std::string& firstPage) {
  if (!firstPage.empty() && firstPage == loaded_) return true;
  loaded_.clear();
  contents_->clear();
  index_->clear();
  results_->clear();
  if (firstPage.empty() || !guide_.Load(firstPage)) {
    browser_->setHtml(
        QStringLiteral("<h2>No user guide</h2><p>The guide (guide/index.html) was not found "
                       "beside the program.</p>"));
    return false;
  }
  loaded_ = firstPage;
  FillContents();
  FillIndex(indexEntry_->text());
  return true;
}

void QtHelpWindow::FillContents() {
  QTreeWidgetItem* page = nullptr;
  const auto& topics = guide_.topics();
  for (size_t i = 0; i < topics.size(); ++i) {
    const HelpTopic& topic = topics[i];
    QTreeWidgetItem* item = nullptr;
    if (topic.level == 1 || page == nullptr) {
      item = new QTreeWidgetItem(contents_);
      page = item;
    } else {
      item = new QTreeWidgetItem(page);
    }
    item->setText(0, Text(topic.heading));
    item->setData(0, kTopicRole, static_cast<int>(i));
  }
  contents_->expandAll();
}

void QtHelpWindow::FillIndex(const QString& filter) {
  index_->clear();
  const HelpTopic* first = guide_.topics().empty() ? nullptr : &guide_.topics().front();
  for (const HelpTopic* topic : guide_.Index()) {
    QString heading = Text(topic->heading);
    if (!filter.isEmpty() && !heading.startsWith(filter, Qt::CaseInsensitive)) continue;
    auto* item = new QListWidgetItem(heading, index_);
    item->setData(kTopicRole, static_cast<int>(topic - first));
  }
}

void QtHelpWindow::Search(const QString& words) {
  if (searchEntry_->text() != words) searchEntry_->setText(words);
  results_->clear();
  std::vector<const HelpTopic*> found = guide_.Search(words.toStdString());
  const HelpTopic* first = guide_.topics().empty() ? nullptr : &guide_.topics().front();
  for (const HelpTopic* topic : found) {
    auto* item = new QListWidgetItem(Text(topic->heading), results_);
    item->setData(kTopicRole, static_cast<int>(topic - first));
  }
  found_->setText(found.empty() ? QStringLiteral("No topic holds all these words.")
                                : QStringLiteral("%1 topic(s) found").arg(found.size()));
  if (!found.empty()) {
    results_->setCurrentRow(0);
    Show(found.front());
  }
}

void QtHelpWindow::ShowTopic(const std::string& topic) {
  const HelpTopic* found = guide_.Find(topic);
  if (found == nullptr) found = guide_.Find("");
  tabs_->setCurrentWidget(contents_);
  if (found != nullptr) Show(found);
  contents_->setFocus();
}

void QtHelpWindow::ShowSearch() {
  tabs_->setCurrentIndex(2);
  if (const HelpTopic* top = guide_.Find("")) Show(top);
  searchEntry_->selectAll();
  searchEntry_->setFocus();
}

void QtHelpWindow::ShowItem(int topic) {
  if (topic >= 0 && static_cast<size_t>(topic) < guide_.topics().size()) {
    Show(&guide_.topics()[topic]);
  }
}

void QtHelpWindow::Show(const HelpTopic* topic) {
  QUrl url = QUrl::fromLocalFile(QDir(Text(guide_.folder())).filePath(Text(topic->page)));
  if (!topic->name.empty()) url.setFragment(Text(topic->name));
  browser_->setSource(url);
  if (!topic->name.empty()) browser_->scrollToAnchor(Text(topic->name));
  setWindowTitle(QStringLiteral("ledora Help - ") + Text(topic->heading));
}

void QtHelpWindow::Shown(const QUrl& url) {
  std::string page = url.fileName().toStdString();
  std::string anchor = url.fragment().toStdString();
  for (const HelpTopic& topic : guide_.topics()) {
    if (topic.page == page && topic.name == anchor) {
      setWindowTitle(QStringLiteral("ledora Help - ") + Text(topic.heading));
      return;
    }
  }
}

}  // namespace ledora::runtime

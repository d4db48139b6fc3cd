// The help window: the user guide in a browser with its contents, an index
// of its topics and a full-text search beside it. Its title names the topic
// shown, so the user (and a test) can tell where it is.
#pragma once

#include <QWidget>
#include <string>

#include "runtime/window/help_guide.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QTabWidget;
class QTextBrowser;
class QTreeWidget;
class QTreeWidgetItem;
class QUrl;

namespace ledora::runtime {

class QtHelpWindow : public QWidget {
  Q_OBJECT

 public:
  QtHelpWindow();

  // Reads the guide whose first page this is, unless it is read already;
  // false when it cannot be read (the window then says so).
  bool Open(const std::string& firstPage);
  // The topic (an anchor on any page); an unknown one shows the first page.
  void ShowTopic(const std::string& topic);
  // The search tab, its entry ready for the words.
  void ShowSearch();

  // The search as the user runs it: the topics found, the first one shown.
  void Search(const QString& words);
  QListWidget* results() const { return results_; }

 private:
  void Build();
  void FillContents();
  void FillIndex(const QString& filter);
  void Show(const HelpTopic* topic);
  void ShowItem(int topic);
  void Shown(const QUrl& url);  // a link followed inside the browser

  HelpGuide guide_;
  std::string loaded_;
  QTabWidget* tabs_ = nullptr;
  QTreeWidget* contents_ = nullptr;
  QLineEdit* indexEntry_ = nullptr;
  QListWidget* index_ = nullptr;
  QLineEdit* searchEntry_ = nullptr;
  QListWidget* results_ = nullptr;
  QLabel* found_ = nullptr;
  QTextBrowser* browser_ = nullptr;
};

}  // namespace ledora::runtime

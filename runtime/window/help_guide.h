// The user guide as the help window reads it: the HTML pages beside the
// guide's first page, each cut into topics at its anchored headings. A topic
// name (an anchor) is found on whichever page holds it, so a topic can move
// to a chapter of its own without its windows knowing; the index lists the
// topics by heading and the search finds those that hold every word asked.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ledora::runtime {

struct HelpTopic {
  std::string name;     // the anchor; empty for a page's top
  std::string page;     // file name within the guide's folder
  std::string heading;  // as the page shows it
  std::string text;     // the words of the topic, lower case, for the search
  int level = 1;        // 1 a page, 2 and 3 its sections
};

class HelpGuide {
 public:
  // Reads the page and every other page of its folder; false when the first
  // page cannot be read.
  bool Load(const std::string& firstPage);
  const std::string& folder() const { return folder_; }

  // In reading order: the first page, the pages it links to in its order,
  // the rest by name; each page's top before its sections.
  const std::vector<HelpTopic>& topics() const { return topics_; }
  // The topic of that anchor on any page, null when none has it.
  const HelpTopic* Find(std::string_view name) const;
  // The sections (not page tops) by heading, without regard to case.
  std::vector<const HelpTopic*> Index() const;
  // The topics holding every word of the query (case ignored), those with
  // more of the words in their heading first; empty for a query without words.
  std::vector<const HelpTopic*> Search(std::string_view query) const;

 private:
  void ReadPage(const std::string& page, const std::string& html);

  std::string folder_;
  std::vector<HelpTopic> topics_;
};

}  // namespace ledora::runtime

#include "runtime/window/help_guide.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

namespace ledora::runtime {

namespace {

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// The value of an attribute of a tag's text ("a name=\"x\""), or "".
std::string Attribute(std::string_view tag, std::string_view name) {
  std::string lower = Lower(tag);
  for (size_t at = lower.find(name); at != std::string::npos; at = lower.find(name, at + 1)) {
    bool starts = at > 0 && std::isspace(static_cast<unsigned char>(lower[at - 1]));
    size_t eq = at + name.size();
    while (eq < lower.size() && lower[eq] == ' ') ++eq;
    if (!starts || eq >= lower.size() || lower[eq] != '=') continue;
    size_t from = eq + 1;
    while (from < tag.size() && tag[from] == ' ') ++from;
    if (from >= tag.size()) return "";
    char quote = tag[from];
    if (quote == '"' || quote == '\'') {
      size_t end = tag.find(quote, from + 1);
      return std::string(
          tag.substr(from + 1, end == std::string_view::npos ? end : end - from - 1));
    }
    size_t end = tag.find_first_of(" >", from);
    return std::string(tag.substr(from, end == std::string_view::npos ? end : end - from));
  }
  return "";
}

// The few entities the guide uses; others stay as written.
std::string Decode(std::string_view text) {
  static const std::pair<std::string_view, std::string_view> kEntities[] = {
      {"&amp;", "&"}, {"&lt;", "<"},   {"&gt;", ">"},    {"&quot;", "\""},
      {"&#39;", "'"}, {"&nbsp;", " "}, {"&mdash;", "-"}, {"&ndash;", "-"}};
  std::string out;
  for (size_t i = 0; i < text.size();) {
    bool replaced = false;
    if (text[i] == '&') {
      for (const auto& [entity, plain] : kEntities) {
        if (text.substr(i, entity.size()) == entity) {
          out += plain;
          i += entity.size();
          replaced = true;
          break;
        }
      }
    }
    if (!replaced) out += text[i++];
  }
  return out;
}

std::string Squeeze(const std::string& text) {
  std::string out;
  for (char c : text) {
    bool space = std::isspace(static_cast<unsigned char>(c)) != 0;
    if (space && (out.empty() || out.back() == ' ')) continue;
    out += space ? ' ' : c;
  }
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

std::vector<std::string> Words(std::string_view query) {
  std::vector<std::string> words;
  std::string word;
  for (char c : query) {
    if (std::isalnum(static_cast<unsigned char>(c))) {
      word += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    } else if (!word.empty()) {
      words.push_back(std::move(word));
      word.clear();
    }
  }
  if (!word.empty()) words.push_back(std::move(word));
  return words;
}

bool ReadText(const std::filesystem::path& path, std::string* text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream all;
  all << in.rdbuf();
  *text = all.str();
  return true;
}

// The pages a page links to, in the order of its links.
std::vector<std::string> LinkedPages(const std::string& html) {
  std::vector<std::string> pages;
  for (size_t at = html.find('<'); at != std::string::npos; at = html.find('<', at + 1)) {
    size_t end = html.find('>', at);
    if (end == std::string::npos) break;
    std::string href = Attribute(std::string_view(html).substr(at, end - at), "href");
    href = href.substr(0, href.find('#'));
    if (href.ends_with(".html") && href.find('/') == std::string::npos &&
        std::find(pages.begin(), pages.end(), href) == pages.end()) {
      pages.push_back(href);
    }
  }
  return pages;
}

}  // namespace

bool HelpGuide::Load(const std::string& firstPage) {
  namespace fs = std::filesystem;
  topics_.clear();
  fs::path first(firstPage);
  folder_ = first.parent_path().string();
  std::string html;
  if (!ReadText(first, &html)) return false;
  std::vector<std::string> order{first.filename().string()};
  for (const std::string& page : LinkedPages(html)) {
    if (std::find(order.begin(), order.end(), page) == order.end()) order.push_back(page);
  }
  std::vector<std::string> rest;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(first.parent_path(), error)) {
    std::string name = entry.path().filename().string();
    if (name.ends_with(".html") && std::find(order.begin(), order.end(), name) == order.end()) {
      rest.push_back(name);
    }
  }
  std::sort(rest.begin(), rest.end());
  order.insert(order.end(), rest.begin(), rest.end());
  for (const std::string& page : order) {
    std::string text;
    if (page == order.front()) {
      ReadPage(page, html);
    } else if (ReadText(first.parent_path() / page, &text)) {
      ReadPage(page, text);
    }
  }
  return true;
}

// Cuts one page at its anchored headings. An anchor before a heading, or in
// it, names the heading's topic; the words up to the next one are its text.
void HelpGuide::ReadPage(const std::string& page, const std::string& html) {
  size_t top = topics_.size();
  topics_.push_back({"", page, "", "", 1});
  size_t current = top;
  std::string anchor;
  std::string heading;
  int headingLevel = 0;
  std::string title;
  bool inTitle = false;
  auto addText = [&](std::string_view raw) {
    std::string text = Decode(raw);
    if (inTitle) title += text;
    // A heading's words belong to the topic it starts.
    if (headingLevel != 0) {
      heading += text;
    } else {
      topics_[current].text += Lower(text);
    }
  };
  size_t at = 0;
  while (at < html.size()) {
    size_t open = html.find('<', at);
    addText(std::string_view(html).substr(at, open == std::string::npos ? open : open - at));
    if (open == std::string::npos) break;
    size_t close = html.find('>', open);
    if (close == std::string::npos) break;
    std::string_view tag = std::string_view(html).substr(open + 1, close - open - 1);
    at = close + 1;
    std::string name = Lower(tag.substr(0, tag.find_first_of(" \t\r\n/")));
    if (tag.starts_with("/")) name = Lower(tag.substr(1, tag.find_first_of(" \t\r\n", 1) - 1));
    bool closing = tag.starts_with("/");
    if (name == "script" || name == "style") {
      size_t end = html.find("</" + name, at);
      at = end == std::string::npos ? html.size() : end;
      continue;
    }
    if (name == "title") inTitle = !closing;
    std::string named = Attribute(tag, "name");
    if (named.empty()) named = Attribute(tag, "id");
    if (!closing && !named.empty() && anchor.empty()) anchor = named;
    bool isHeading = name.size() == 2 && name[0] == 'h' && name[1] >= '1' && name[1] <= '3';
    if (isHeading && !closing) {
      headingLevel = name[1] - '0';
      heading.clear();
      topics_[current].text += ' ';
    } else if (isHeading && headingLevel != 0) {
      std::string shown = Squeeze(heading);
      if (!anchor.empty()) {
        topics_.push_back({anchor, page, shown, Lower(shown) + " ", std::max(2, headingLevel)});
        current = topics_.size() - 1;
        anchor.clear();
      } else {
        topics_[current].text += Lower(shown) + " ";
        if (headingLevel == 1 && topics_[top].heading.empty()) topics_[top].heading = shown;
      }
      headingLevel = 0;
    } else if (name == "p" || name == "li" || name == "br" || name == "dt" || name == "dd") {
      topics_[current].text += ' ';
    }
  }
  if (topics_[top].heading.empty()) topics_[top].heading = Squeeze(title);
  if (topics_[top].heading.empty()) topics_[top].heading = page;
  for (size_t i = top; i < topics_.size(); ++i) topics_[i].text = Squeeze(topics_[i].text);
}

const HelpTopic* HelpGuide::Find(std::string_view name) const {
  if (name.empty()) return topics_.empty() ? nullptr : &topics_.front();
  for (const HelpTopic& topic : topics_) {
    if (topic.name == name) return &topic;
  }
  std::string lower = Lower(name);
  for (const HelpTopic& topic : topics_) {
    if (Lower(topic.name) == lower) return &topic;
  }
  return nullptr;
}

std::vector<const HelpTopic*> HelpGuide::Index() const {
  std::vector<const HelpTopic*> index;
  for (const HelpTopic& topic : topics_) {
    if (!topic.name.empty()) index.push_back(&topic);
  }
  std::stable_sort(index.begin(), index.end(), [](const HelpTopic* a, const HelpTopic* b) {
    return Lower(a->heading) < Lower(b->heading);
  });
  return index;
}

std::vector<const HelpTopic*> HelpGuide::Search(std::string_view query) const {
  std::vector<std::string> words = Words(query);
  std::vector<std::pair<size_t, const HelpTopic*>> found;  // words in the heading, topic
  if (words.empty()) return {};
  for (const HelpTopic& topic : topics_) {
    std::string heading = Lower(topic.heading);
    size_t headed = 0;
    bool all = true;
    for (const std::string& word : words) {
      bool there = heading.find(word) != std::string::npos;
      headed += there ? 1 : 0;
      all = all && (there || topic.text.find(word) != std::string::npos);
    }
    if (all) found.emplace_back(headed, &topic);
  }
  std::stable_sort(found.begin(), found.end(),
                   [](const auto& a, const auto& b) { return a.first > b.first; });
  std::vector<const HelpTopic*> topics;
  for (const auto& [headed, topic] : found) topics.push_back(topic);
  return topics;
}

}  // namespace ledora::runtime

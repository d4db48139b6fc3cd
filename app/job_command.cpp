#include "app/job_command.h"

#include <algorithm>
#include <numeric>

namespace ledora::app {

namespace {

std::string_view Undashed(std::string_view name) {
  while (name.starts_with('-')) name.remove_prefix(1);
  return name;
}

// Edits between a and b, a swap of neighbours counting as one: the usual
// slips of typing.
size_t Distance(std::string_view a, std::string_view b) {
  std::vector<std::vector<size_t>> d(a.size() + 1, std::vector<size_t>(b.size() + 1));
  for (size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
  std::iota(d[0].begin(), d[0].end(), 0);
  for (size_t i = 1; i <= a.size(); ++i) {
    for (size_t j = 1; j <= b.size(); ++j) {
      size_t change = a[i - 1] == b[j - 1] ? 0 : 1;
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + change});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
      }
    }
  }
  return d[a.size()][b.size()];
}

bool Near(std::string_view typed, std::string_view candidate) {
  typed = Undashed(typed);
  candidate = Undashed(candidate);
  if (!typed.empty() && candidate.starts_with(typed)) return true;
  size_t distance = Distance(typed, candidate);
  return distance <= 1 || (distance == 2 && candidate.size() >= 5);
}

bool Absolute(const std::filesystem::path& start, std::string* path, std::string* error) {
  if (path->empty() || std::filesystem::path(*path).is_absolute()) return true;
  if (start.empty()) {
    *error = "cannot tell the folder the command started in, for " + *path;
    return false;
  }
  *path = (start / *path).string();
  return true;
}

}  // namespace

std::string_view NearestName(std::string_view typed, std::span<const std::string_view> candidates) {
  std::string_view nearest;
  size_t best = SIZE_MAX;
  for (std::string_view candidate : candidates) {
    size_t distance = Distance(Undashed(typed), Undashed(candidate));
    if (Near(typed, candidate) && distance < best) {
      best = distance;
      nearest = candidate;
    }
  }
  return nearest;
}

std::string UnknownName(std::string_view what, std::string_view typed,
                        std::span<const std::string_view> candidates) {
  std::string text = "unknown " + std::string(what) + " " + std::string(typed);
  std::string_view nearest = NearestName(typed, candidates);
  if (!nearest.empty()) return text + "; did you mean " + std::string(nearest) + "?";
  if (candidates.empty()) return text + "; this job has none";
  text += " (";
  for (size_t i = 0; i < candidates.size(); ++i) {
    text += (i ? ", " : "") + std::string(candidates[i]);
  }
  return text + ")";
}

JobArgsResult PrepareJobArgs(const JobSpec& job, std::span<const std::string_view> globalOptions,
                             const std::filesystem::path& start, std::vector<std::string>* args,
                             std::string* error) {
  int operand = 0;
  for (size_t i = 0; i < args->size(); ++i) {
    std::string& arg = (*args)[i];
    if (arg == "--help") return JobArgsHelp;
    if (!arg.starts_with("--")) {
      bool path = std::ranges::find(job.pathOperands, operand++) != job.pathOperands.end();
      if (path && !Absolute(start, &arg, error)) return JobArgsWrong;
      continue;
    }
    auto option = std::ranges::find(job.options, std::string_view(arg), &JobOption::name);
    if (option == job.options.end() &&
        std::ranges::find(globalOptions, arg) != globalOptions.end()) {
      *error = arg + " goes before the job word: ledora " + arg + " ... " + std::string(job.word);
      return JobArgsWrong;
    }
    if (option == job.options.end()) {
      std::vector<std::string_view> names;
      for (const JobOption& known : job.options) names.push_back(known.name);
      *error = UnknownName("option", arg, names);
      return JobArgsWrong;
    }
    // A missing value is the job's own to report, as it reports the others.
    if (option->value.empty() || i + 1 >= args->size()) continue;
    std::string& value = (*args)[++i];
    if (option->path && !Absolute(start, &value, error)) return JobArgsWrong;
  }
  return JobArgsReady;
}

void PrintOptions(std::span<const JobOption> options, std::FILE* to) {
  for (const JobOption& option : options) {
    std::string name(option.name);
    if (!option.value.empty()) name += " " + std::string(option.value);
    std::fprintf(to, "  %-22s %.*s\n", name.c_str(), static_cast<int>(option.help.size()),
                 option.help.data());
  }
}

std::string JobUsageLine(const JobSpec& job) {
  std::string usage = "ledora [--data DIR] " + std::string(job.word);
  if (!job.arguments.empty()) usage += " " + std::string(job.arguments);
  return usage;
}

void PrintJobHelp(const JobSpec& job, std::FILE* to) {
  std::fprintf(to, "usage: %s\n\n%.*s\n", JobUsageLine(job).c_str(),
               static_cast<int>(job.help.size()), job.help.data());
  if (!job.options.empty()) std::fprintf(to, "\n");
  PrintOptions(job.options, to);
  std::fprintf(to,
               "\nFile names are taken from the folder the command was started in; the\n"
               "data folder's own files stay in the data folder.\n");
}

}  // namespace ledora::app

#include "crash/crash_analyzer.h"

#include <re2/re2.h>
#include <re2/set.h>

#include <algorithm>
#include <charconv>
#include <set>

#include "crash/crash_template.h"

namespace kv {

struct CrashAnalyzer::Patterns {
  explicit Patterns(const RE2::Options& options) : set(options, RE2::UNANCHORED) {}
  RE2::Set set;
  std::vector<std::unique_ptr<RE2>> each;  // by index in the set
  std::vector<std::size_t> ruleOf;         // by index in the set
};

namespace {

// Enough of each cause to name what it concerns; a log full of one message adds nothing more.
constexpr std::size_t kMatchesPerCause = 32;
constexpr std::size_t kItemsShown = 8;
constexpr std::size_t kValueBytes = 200;
// The DFA of every pattern together; the patterns still run one by one should it not suffice.
constexpr int64_t kSetMemory = 64 << 20;

constexpr std::string_view kCrashReportHeading = "---- Minecraft Crash Report ----";
constexpr const char* kItemsName = "items";
constexpr const char* kJoiner = "、";

RE2::Options PatternOptions() {
  RE2::Options options;
  options.set_log_errors(false);
  return options;
}

// A captured value as the texts show it: trimmed, and cut where it would flood the notice.
std::string Shown(std::string_view value) {
  while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.remove_prefix(1);
  while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.remove_suffix(1);
  if (value.size() <= kValueBytes) return std::string(value);
  std::size_t cut = kValueBytes;
  while (cut > 0 && (static_cast<unsigned char>(value[cut]) & 0xC0) == 0x80) --cut;
  return std::string(value.substr(0, cut)) + "…";
}

using Match = std::map<std::string, std::string>;

// Where and how a cause was found.
struct Finding {
  std::string source;
  std::vector<Match> matches;
};

void CollectMatches(const RE2& pattern, const std::string& text, std::vector<Match>& matches) {
  const re2::StringPiece input(text);
  std::vector<re2::StringPiece> groups(static_cast<std::size_t>(pattern.NumberOfCapturingGroups()) + 1);
  std::size_t at = 0;
  while (matches.size() < kMatchesPerCause && at <= text.size() &&
         pattern.Match(input, at, text.size(), RE2::UNANCHORED, groups.data(), static_cast<int>(groups.size()))) {
    Match match;
    for (const auto& [name, index] : pattern.NamedCapturingGroups()) {
      const re2::StringPiece& group = groups[static_cast<std::size_t>(index)];
      if (group.data() != nullptr && !group.empty()) match[name] = Shown(std::string_view(group.data(), group.size()));
    }
    matches.push_back(std::move(match));
    const std::size_t end = static_cast<std::size_t>(groups[0].data() - text.data()) + groups[0].size();
    at = end > at ? end : at + 1;
  }
}

std::string Join(const std::vector<std::string>& values, std::size_t shown) {
  std::string joined;
  for (std::size_t i = 0; i < values.size() && i < shown; ++i) joined += (i == 0 ? "" : kJoiner) + values[i];
  if (values.size() > shown) joined += " 等";
  return joined;
}

void AddOnce(std::vector<std::string>& values, const std::string& value) {
  if (std::find(values.begin(), values.end(), value) == values.end()) values.push_back(value);
}

std::string Derive(const DerivedValue& derived, const std::map<std::string, std::vector<std::string>>& captures) {
  const auto from = captures.find(derived.from);
  if (from == captures.end()) return {};
  const std::string& text = from->second.front();
  long long number = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (error != std::errc() || end != text.data() + text.size()) return {};
  return std::to_string((number - derived.subtract) / derived.divide);
}

std::string DescriptionOf(const std::vector<CrashSource>& sources) {
  static const RE2 description("(?m)^Description: ([^\\n]+)$", PatternOptions());
  std::string found;
  // A crash report says it best; the game's output may carry one too.
  for (const bool reportsOnly : {true, false}) {
    for (const CrashSource& source : sources) {
      if (reportsOnly && source.text.find(kCrashReportHeading) == std::string::npos) continue;
      if (RE2::PartialMatch(source.text, description, &found)) return Shown(found);
    }
  }
  return {};
}

}  // namespace

CrashAnalyzer::CrashAnalyzer(CrashRuleTable table, std::unique_ptr<Patterns> patterns)
    : table_(std::move(table)), patterns_(std::move(patterns)) {}
CrashAnalyzer::CrashAnalyzer(CrashAnalyzer&&) noexcept = default;
CrashAnalyzer& CrashAnalyzer::operator=(CrashAnalyzer&&) noexcept = default;
CrashAnalyzer::~CrashAnalyzer() = default;

Result<CrashAnalyzer> CrashAnalyzer::Create(CrashRuleTable table) {
  RE2::Options setOptions = PatternOptions();
  setOptions.set_max_mem(kSetMemory);
  auto patterns = std::make_unique<Patterns>(setOptions);
  for (std::size_t r = 0; r < table.rules.size(); ++r) {
    const CrashRule& rule = table.rules[r];
    std::set<std::string> known;
    for (const std::string& text : rule.patterns) {
      auto pattern = std::make_unique<RE2>(text, PatternOptions());
      std::string error;
      if (!pattern->ok() || patterns->set.Add(text, &error) < 0) {
        return Fail(FailureKind::Invalid, "crash rules: " + rule.id + ": " + pattern->error() + error + ": " + text);
      }
      for (const auto& [name, index] : pattern->NamedCapturingGroups()) known.insert(name);
      patterns->each.push_back(std::move(pattern));
      patterns->ruleOf.push_back(r);
    }
    const std::set<std::string> captured = known;
    for (const DerivedValue& derived : rule.derived) {
      if (!captured.count(derived.from)) {
        return Fail(FailureKind::Invalid, "crash rules: " + rule.id + ": nothing captures " + derived.from);
      }
      known.insert(derived.name);
    }
    for (const std::string& name : TemplateNames(rule.item)) {
      if (!known.count(name)) return Fail(FailureKind::Invalid, "crash rules: " + rule.id + ": the item names " + name);
    }
    if (!rule.item.empty()) known.insert(kItemsName);
    for (const std::string& name : TemplateNames(rule.explanation)) {
      if (!known.count(name)) {
        return Fail(FailureKind::Invalid, "crash rules: " + rule.id + ": the explanation names " + name);
      }
    }
  }
  if (!patterns->each.empty() && !patterns->set.Compile()) {
    return Fail(FailureKind::Invalid, "crash rules: the patterns do not compile together");
  }
  return CrashAnalyzer(std::move(table), std::move(patterns));
}

CrashAnalysis CrashAnalyzer::Analyze(const std::vector<CrashSource>& sources, std::optional<int> exitStatus) const {
  std::map<std::size_t, Finding> found;  // by rule
  for (const CrashSource& source : sources) {
    std::vector<int> hits;
    RE2::Set::ErrorInfo error{RE2::Set::kNoError};
    if (!patterns_->each.empty() && !patterns_->set.Match(source.text, &hits, &error) &&
        error.kind != RE2::Set::kNoError) {
      hits.clear();
      for (std::size_t p = 0; p < patterns_->each.size(); ++p) {
        if (RE2::PartialMatch(source.text, *patterns_->each[p])) hits.push_back(static_cast<int>(p));
      }
    }
    std::sort(hits.begin(), hits.end());
    for (const int hit : hits) {
      const auto p = static_cast<std::size_t>(hit);
      Finding& finding = found[patterns_->ruleOf[p]];
      if (finding.source.empty()) finding.source = source.name;
      CollectMatches(*patterns_->each[p], source.text, finding.matches);
    }
  }
  for (std::size_t r = 0; r < table_.rules.size(); ++r) {
    if (exitStatus && table_.rules[r].exitStatus == exitStatus) found[r];
  }
  for (const auto& [r, finding] : std::map<std::size_t, Finding>(found)) {
    for (const std::string& excluded : table_.rules[r].excludes) {
      std::erase_if(found, [&](const auto& entry) { return table_.rules[entry.first].id == excluded; });
    }
  }

  const auto shownName = [this](const std::string& value) {
    const auto name = table_.names.find(value);
    return name == table_.names.end() ? value : name->second;
  };
  CrashAnalysis analysis;
  for (const auto& [r, finding] : found) {
    const CrashRule& rule = table_.rules[r];
    CrashCause cause{rule.id, rule.title, {}, rule.action, rule.specificity, {}, finding.source};
    for (const Match& match : finding.matches) {
      for (const auto& [name, value] : match) AddOnce(cause.captures[name], value);
    }
    std::map<std::string, std::string> derived;
    for (const DerivedValue& value : rule.derived) derived[value.name] = Derive(value, cause.captures);
    std::vector<std::string> items;
    for (const Match& match : finding.matches) {
      if (rule.item.empty()) break;
      AddOnce(items, FillTemplate(rule.item, [&](std::string_view name) {
                const auto captured = match.find(std::string(name));
                return captured == match.end() ? std::string() : shownName(captured->second);
              }));
    }
    cause.explanation = FillTemplate(rule.explanation, [&](std::string_view name) {
      if (name == kItemsName) return Join(items, kItemsShown);
      if (const auto value = derived.find(std::string(name)); value != derived.end()) return value->second;
      std::vector<std::string> shown;
      if (const auto values = cause.captures.find(std::string(name)); values != cause.captures.end()) {
        for (const std::string& value : values->second) AddOnce(shown, shownName(value));
      }
      return Join(shown, kItemsShown);
    });
    analysis.causes.push_back(std::move(cause));
  }
  // The most specific first; between equals, the table's order.
  std::stable_sort(analysis.causes.begin(), analysis.causes.end(),
                   [](const CrashCause& a, const CrashCause& b) { return a.specificity > b.specificity; });
  if (analysis.causes.empty()) analysis.description = DescriptionOf(sources);
  return analysis;
}

const Result<CrashAnalyzer>& BuiltInCrashAnalyzer() {
  static const Result<CrashAnalyzer> analyzer = []() -> Result<CrashAnalyzer> {
    Result<CrashRuleTable> table = ParseCrashRules(BuiltInCrashRulesJson());
    if (!table) return std::move(table).failure();
    return CrashAnalyzer::Create(std::move(*table));
  }();
  return analyzer;
}

}  // namespace kv

#include "crash/crash_rules.h"

#include <json/json.h>

#include <memory>
#include <set>

namespace kv {
namespace {

Failure Bad(const std::string& where, const std::string& what) {
  return Fail(FailureKind::Invalid, "crash rules: " + where + ": " + what);
}

bool IsStringArray(const Json::Value& value) {
  if (!value.isArray()) return false;
  for (const Json::Value& element : value) {
    if (!element.isString()) return false;
  }
  return true;
}

std::vector<std::string> Strings(const Json::Value& array) {
  std::vector<std::string> strings;
  for (const Json::Value& element : array) strings.push_back(element.asString());
  return strings;
}

Result<DerivedValue> ParseDerived(const Json::Value& entry, const std::string& where) {
  if (!entry.isObject() || !entry["name"].isString() || !entry["from"].isString()) {
    return Bad(where, "a derived value needs \"name\" and \"from\"");
  }
  DerivedValue derived{entry["name"].asString(), entry["from"].asString()};
  if (entry.isMember("subtract")) {
    if (!entry["subtract"].isInt()) return Bad(where, "\"subtract\" is not a whole number");
    derived.subtract = entry["subtract"].asInt();
  }
  if (entry.isMember("divide")) {
    if (!entry["divide"].isInt() || entry["divide"].asInt() <= 0) return Bad(where, "\"divide\" is not a positive number");
    derived.divide = entry["divide"].asInt();
  }
  return derived;
}

Result<CrashRule> ParseRule(const Json::Value& entry, std::size_t index) {
  std::string where = "cause " + std::to_string(index);
  if (!entry.isObject()) return Bad(where, "not an object");
  CrashRule rule;
  for (const char* key : {"id", "title", "explanation"}) {
    if (!entry[key].isString() || entry[key].asString().empty()) return Bad(where, std::string("no \"") + key + "\"");
  }
  rule.id = entry["id"].asString();
  where += " (" + rule.id + ")";
  rule.title = entry["title"].asString();
  rule.explanation = entry["explanation"].asString();
  if (entry.isMember("item")) {
    if (!entry["item"].isString()) return Bad(where, "\"item\" is not a text");
    rule.item = entry["item"].asString();
  }
  if (entry.isMember("patterns")) {
    if (!IsStringArray(entry["patterns"])) return Bad(where, "\"patterns\" is not a list of texts");
    rule.patterns = Strings(entry["patterns"]);
  }
  if (entry.isMember("exitStatus")) {
    if (!entry["exitStatus"].isInt()) return Bad(where, "\"exitStatus\" is not a whole number");
    rule.exitStatus = entry["exitStatus"].asInt();
  }
  if (rule.patterns.empty() && !rule.exitStatus) return Bad(where, "neither patterns nor an exit status");
  const std::optional<CrashAction> action = CrashActionFromId(entry.get("action", "").asString());
  if (!entry.get("action", "").isString() || !action) return Bad(where, "unknown action");
  rule.action = *action;
  if (!entry["specificity"].isInt()) return Bad(where, "no \"specificity\"");
  rule.specificity = entry["specificity"].asInt();
  if (entry.isMember("excludes")) {
    if (!IsStringArray(entry["excludes"])) return Bad(where, "\"excludes\" is not a list of ids");
    rule.excludes = Strings(entry["excludes"]);
  }
  if (entry.isMember("derived")) {
    if (!entry["derived"].isArray()) return Bad(where, "\"derived\" is not a list");
    for (const Json::Value& derived : entry["derived"]) {
      Result<DerivedValue> parsed = ParseDerived(derived, where);
      if (!parsed) return std::move(parsed).failure();
      rule.derived.push_back(std::move(*parsed));
    }
  }
  return rule;
}

}  // namespace

Result<CrashRuleTable> ParseCrashRules(std::string_view json) {
  Json::CharReaderBuilder builder;
  std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  Json::Value root;
  std::string errors;
  if (!reader->parse(json.data(), json.data() + json.size(), &root, &errors)) return Bad("JSON", errors);
  if (!root.isObject() || !root["causes"].isArray()) return Bad("table", "no list of \"causes\"");
  CrashRuleTable table;
  const Json::Value& names = root["names"];
  if (!names.isNull() && !names.isObject()) return Bad("names", "not an object");
  for (const std::string& id : names.getMemberNames()) {
    if (!names[id].isString()) return Bad("names", id + " is not a text");
    table.names[id] = names[id].asString();
  }
  std::set<std::string> ids;
  for (Json::ArrayIndex i = 0; i < root["causes"].size(); ++i) {
    Result<CrashRule> rule = ParseRule(root["causes"][i], i);
    if (!rule) return std::move(rule).failure();
    if (!ids.insert(rule->id).second) return Bad("cause " + rule->id, "the id is used twice");
    table.rules.push_back(std::move(*rule));
  }
  for (const CrashRule& rule : table.rules) {
    for (const std::string& excluded : rule.excludes) {
      if (!ids.count(excluded)) return Bad("cause " + rule.id, "excludes an unknown cause " + excluded);
    }
  }
  return table;
}

}  // namespace kv

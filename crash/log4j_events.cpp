#include "crash/log4j_events.h"

#include <pugixml.hpp>

namespace kv {
namespace {

constexpr std::string_view kEventStart = "<log4j:Event";
constexpr std::string_view kEventEnd = "</log4j:Event>";
constexpr std::string_view kCdataStart = "<![CDATA[";
constexpr std::string_view kCdataEnd = "]]>";

// Where the event starting at `start` ends (after its end tag), or npos. CDATA sections are
// passed over: a message may well contain the end tag's text.
std::size_t EventEnd(std::string_view text, std::size_t start) {
  std::size_t at = start + kEventStart.size();
  while (true) {
    const std::size_t cdata = text.find(kCdataStart, at);
    const std::size_t end = text.find(kEventEnd, at);
    if (end == std::string_view::npos) return end;
    if (cdata == std::string_view::npos || end < cdata) return end + kEventEnd.size();
    const std::size_t cdataEnd = text.find(kCdataEnd, cdata + kCdataStart.size());
    if (cdataEnd == std::string_view::npos) return cdataEnd;
    at = cdataEnd + kCdataEnd.size();
  }
}

// The text of an element: its character data and CDATA sections joined (log4j splits a
// message that contains "]]>" into two sections).
std::string TextOf(const pugi::xml_node& element) {
  std::string text;
  for (const pugi::xml_node& child : element.children()) {
    if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) text += child.value();
  }
  return text;
}

bool AppendEvent(std::string_view fragment, pugi::xml_document& document, std::string& out) {
  if (!document.load_buffer(fragment.data(), fragment.size(), pugi::parse_default, pugi::encoding_utf8)) return false;
  const pugi::xml_node event = document.child("log4j:Event");
  if (!event) return false;
  out += "[";
  out += event.attribute("thread").value();
  out += "/";
  out += event.attribute("level").value();
  out += "]: ";
  out += TextOf(event.child("log4j:Message"));
  out += "\n";
  const std::string thrown = TextOf(event.child("log4j:Throwable"));
  if (!thrown.empty()) {
    out += thrown;
    if (thrown.back() != '\n') out += "\n";
  }
  return true;
}

// An event starts a line of its own.
void EndLine(std::string& out) {
  if (!out.empty() && out.back() != '\n') out += '\n';
}

bool IsBlank(std::string_view text) { return text.find_first_not_of(" \t\r\n") == std::string_view::npos; }

}  // namespace

bool ContainsLog4jEvents(std::string_view text) { return text.find(kEventStart) != std::string_view::npos; }

std::string Log4jEventsToText(std::string_view text) {
  std::string out;
  out.reserve(text.size() / 2);
  pugi::xml_document document;
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t start = text.find(kEventStart, at);
    std::string_view between = text.substr(at, start == std::string_view::npos ? start : start - at);
    // The line end after an event's end tag is the event's own.
    while (!between.empty() && (between.front() == '\n' || between.front() == '\r')) between.remove_prefix(1);
    if (!IsBlank(between)) EndLine(out += between);
    if (start == std::string_view::npos) break;
    const std::size_t end = EventEnd(text, start);
    const std::string_view event = text.substr(start, end == std::string_view::npos ? end : end - start);
    if (!AppendEvent(event, document, out)) EndLine(out += event);
    at = end == std::string_view::npos ? text.size() : end;
  }
  return out;
}

}  // namespace kv

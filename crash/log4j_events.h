#pragma once

#include <string>
#include <string_view>

// The game's output as the log4j XML layout writes it (the launcher profile's logging
// configuration asks for it): a stream of <log4j:Event> elements, each with its message (and
// the exception it carries) in CDATA sections, and not one XML document as a whole. Anything
// between the events (what the JVM itself prints, a stack trace written to the console) is
// plain text.
namespace kv {

bool ContainsLog4jEvents(std::string_view text);

// Every event as a line "[thread/LEVEL]: message", its exception on the lines after it; the
// text between events kept as it is. An event that is not well-formed (the stream may end in
// the middle of one) is kept as it stands.
std::string Log4jEventsToText(std::string_view text);

}  // namespace kv

// Reads an .ics file with libical, an implementation independent of this program, and fails
// when libical finds anything to complain about: a parse error, a property or component in the
// wrong place, a missing required property. Prints the counts of events and to-dos it read.
// Usage: libical_check FILE.ics
#include <libical/ical.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: libical_check FILE.ics\n");
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "libical_check: cannot read %s\n", argv[1]);
    return 2;
  }
  std::stringstream text;
  text << in.rdbuf();
  icalcomponent* root = icalparser_parse_string(text.str().c_str());
  if (!root || icalcomponent_isa(root) != ICAL_VCALENDAR_COMPONENT) {
    std::fprintf(stderr, "libical_check: %s is not a VCALENDAR (%s)\n", argv[1], icalerror_strerror(icalerrno));
    return 1;
  }
  icalrestriction_check(root);  // adds X-LIC-ERROR properties for every violation
  int problems = 0;
  auto report = [&](icalcomponent* c) {
    for (icalproperty* p = icalcomponent_get_first_property(c, ICAL_XLICERROR_PROPERTY); p;
         p = icalcomponent_get_next_property(c, ICAL_XLICERROR_PROPERTY)) {
      std::fprintf(stderr, "libical_check: %s: %s\n", icalcomponent_kind_to_string(icalcomponent_isa(c)),
                   icalproperty_get_xlicerror(p));
      ++problems;
    }
  };
  report(root);
  int events = 0, todos = 0;
  for (icalcomponent* c = icalcomponent_get_first_component(root, ICAL_ANY_COMPONENT); c;
       c = icalcomponent_get_next_component(root, ICAL_ANY_COMPONENT)) {
    report(c);
    for (icalcomponent* sub = icalcomponent_get_first_component(c, ICAL_ANY_COMPONENT); sub;
         sub = icalcomponent_get_next_component(c, ICAL_ANY_COMPONENT))
      report(sub);
    if (icalcomponent_isa(c) == ICAL_VEVENT_COMPONENT) ++events;
    if (icalcomponent_isa(c) == ICAL_VTODO_COMPONENT) ++todos;
  }
  icalcomponent_free(root);
  std::printf("{\"events\":%d,\"todos\":%d,\"problems\":%d}\n", events, todos, problems);
  return problems ? 1 : 0;
}

#pragma once

// What a direction did, told as plain facts to whoever keeps an account of
// it: rows written, input lines left out and why, abbreviations that could
// not be what their row would have made of them. The directions call it on
// every row, so an implementation must keep each call cheap; the default one
// ignores everything, which is what the window and most tests want.

#include <cstdint>
#include <string>
#include <string_view>

namespace ludaro {

// Why a line of an input file gave no row.
enum class LeftOutReason {
  OtherConvocatoria,    // a group of a convocatoria other than the chosen one
  CourseNotFound,       // a group whose course the course table lacks
  ParentGroupNotFound,  // a subgroup whose group was not imported
  CourseNotImported,    // a subject of the general offer for a course not imported, and no task
  DuplicateActivity,    // an activity whose code a subject or an earlier activity holds
  DuplicateTeacher,     // a teacher whose employee code an earlier line had
  DuplicateClassroom,   // a classroom whose code an earlier line had
  UnplacedSession,      // a SOLUC row of day 0: Horalia did not place it
  UnknownTeacher,       // a SOLUC row whose teacher PROFT lacks
  UnknownSubject,       // a SOLUC row whose subject ASIGNOMT2 lacks for the group's course
};

// Why a stored abbreviation differs from the one its row would naturally have.
enum class DeviationReason {
  Taken,     // another row had it already (letter case aside)
  TooLong,   // cut to the width of the field
  Empty,     // nothing to build it from
  CodePage,  // a character the ANSI code page lacks became '?'
};

class RunLog {
 public:
  virtual ~RunLog() = default;

  // A step of the direction begins; an error from here on happened in it.
  virtual void StepStarted(std::string_view) {}
  // `count` more rows posted to the working table `table` (its name without
  // extension).
  virtual void RowsWritten(std::string_view /*table*/, std::uint64_t /*count*/) {}
  void RowWritten(std::string_view table) { RowsWritten(table, 1); }
  // Line (or, for a table, record number) `line` of `file` gave no row.
  // `detail` is the value the decision turned on: the convocatoria, course,
  // group, code or key it names.
  virtual void RowLeftOut(LeftOutReason, std::string_view /*file*/, long /*line*/, std::u16string_view /*detail*/) {}
  virtual void AbbreviationDeviated(std::string_view /*table*/, DeviationReason, std::u16string_view /*natural*/,
                                    std::u16string_view /*stored*/) {}
};

// The log that keeps nothing.
inline RunLog& NullRunLog() {
  static RunLog log;
  return log;
}

}  // namespace ludaro

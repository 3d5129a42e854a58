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

// Something in the input that a user must look at, though the run goes on
// and writes what it would have written anyway.
enum class DataWarning {
  TeacherNameDiffers,    // an employee code seen before with another name; this one is not stored
  CourseNameDiffers,     // a course code of the chosen convocatoria seen before with another name
  GroupNameDiffers,      // a group code of the chosen convocatoria seen before with another name
  SubjectNameDiffers,    // a subject key seen before with another name; ASIGNOMT keeps the first
  ClassroomNameDiffers,  // a classroom code seen before with another name; this one is not stored
  TeacherWithoutGroup,   // no line of the teacher names a group
  GroupWithoutSubject,   // a group whose course the subject offer does not list
  TemplateOutOfOrder,    // an hour of the template starts before the one above it ends or starts
  SessionOutsideTemplate,  // a SOLUC row placed at an hour the template (or DIASHORAST) lacks
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
  // Line (or record) `line` of `file` deserves a look. `code` is what it is
  // about (an employee, course, group, subject or classroom code, an hour),
  // `value` what this line says of it (the other name, a start time), and
  // `otherLine` the line or record it disagrees with, or 0, in `otherFile`
  // when that is not empty, else in `file`.
  virtual void DataWarned(DataWarning, std::string_view /*file*/, long /*line*/, std::u16string_view /*code*/,
                          std::u16string_view /*value*/, std::string_view /*otherFile*/, long /*otherLine*/) {}
};

// The log that keeps nothing.
inline RunLog& NullRunLog() {
  static RunLog log;
  return log;
}

}  // namespace ludaro

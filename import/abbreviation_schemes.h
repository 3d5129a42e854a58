#pragma once

// How subjects, teachers and classrooms get the abbreviation Horalia knows
// them by. UsedAbbreviations makes the results unique; these functions only
// say what to try.

#include <cstdint>
#include <string>
#include <string_view>

namespace ludaro {

// A subject's own abbreviation, from its key text and its name: the key text
// when it has at most 10 characters, else its first character and the
// characters after its spaces; when that gives fewer than 2 characters, the
// same made from the name; cut to 10 characters and trimmed.
std::u16string SubjectBase(std::u16string_view keyText, std::u16string_view name);

// A subject's numbered candidate: the base followed by the number. One of more
// than 10 characters (spaces at either end not counted) keeps its first 8 and
// its last 2, the way Horalia's users know "Filosofí10"; from 100 on that
// would only repeat earlier candidates, so the base gives up as many
// characters as the number needs instead.
std::u16string SubjectCandidate(std::u16string_view base, std::uint64_t number);

// A teacher's or classroom's numbered candidate: the base followed by the
// number, the base shortened where the whole would not fit in 10 characters.
std::u16string PrefixedNumber(std::u16string_view base, std::uint64_t number);

// A teacher's own abbreviation: the capitals A to Z of the name; for a name
// without any ("Álvarez Álvarez, Óscar", "ana pena"), the first character of
// each of its words, accents kept, so that the teacher still gets a telling
// abbreviation.
std::u16string TeacherAbbreviation(std::u16string_view name);

// The characters the numbered candidates of teachers and classrooms start
// from: the first 3 of their own abbreviation (a shorter one whole).
std::u16string NumberingPrefix(std::u16string_view abbreviation);

}  // namespace ludaro

// Reading struct objects back in tests: every member as one line of text,
// so that a test states a whole struct in one expected string.
#ifndef QXSOAP_TESTS_SUPPORT_STRUCT_OBJECT_READER_H_
#define QXSOAP_TESTS_SUPPORT_STRUCT_OBJECT_READER_H_

#include <string>

#include "qxsoap/struct_object.h"

namespace qxsoap::test {

// A value as text: "I4:7", "BSTR:abc", "BOOL:-1", "R8:0.10000000000000001",
// "DATE:36526.5", "DECIMAL:1.5", "NULL", "EMPTY", "ARRAY[I4:1,I4:2]" for a
// one-dimensional array and "ARRAY(3,2)[...]" for more dimensions (stored
// sizes, elements in storage order), "STRUCT{...}" for an object offering
// StructObject (its members as by Members), "vt:N" for anything else.
std::u16string Describe(const VARIANT& value);

// Every member from FirstMember and NextMember as "{ns}name=value" (no
// braces for an empty namespace), joined by "; ". A position that is not
// the member's index, or an out-parameter written past the end, shows up
// as an "!error" entry.
std::u16string Members(StructObject& object);

}  // namespace qxsoap::test

#endif  // QXSOAP_TESTS_SUPPORT_STRUCT_OBJECT_READER_H_

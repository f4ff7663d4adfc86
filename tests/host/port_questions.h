// host/port_questions.h: asks a port description the PortDescription
// questions and gives each answer as text, so that a test states a port's
// answers as rows of expected strings.
#ifndef QXSOAP_TESTS_HOST_PORT_QUESTIONS_H_
#define QXSOAP_TESTS_HOST_PORT_QUESTIONS_H_

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "host/wsdl_source.h"
#include "qxcom/owned.h"
#include "qxsoap/wsdl_port.h"

namespace qxsoap::host::test {

// Puts PortDescription calls to a port and gives each answer as text: the
// string, "{ns}name" for a type or element, "-" for not found.
class Ask {
 public:
  explicit Ask(PortDescription* port) : port_(port) {}

  using OpText = HRESULT (PortDescription::*)(BSTR, BSTR*, VARIANT_BOOL*);
  using PartType = HRESULT (PortDescription::*)(BSTR, BSTR, BSTR*, BSTR*, VARIANT_BOOL*);
  using BlockType = HRESULT (PortDescription::*)(BSTR, BSTR, BSTR, BSTR*, BSTR*, VARIANT_BOOL*);
  using BlockText = HRESULT (PortDescription::*)(BSTR, BSTR, BSTR, BSTR*, VARIANT_BOOL*);
  using Flag = HRESULT (PortDescription::*)(BSTR, BSTR, VARIANT_BOOL*);

  std::string Text(OpText call, std::u16string_view op) {
    Out text;
    return Answer((port_->*call)(In(op), &text.value, &found_), {&text});
  }
  std::string Type(PartType call, std::u16string_view a, std::u16string_view b) {
    Out name, ns;
    return Answer((port_->*call)(In(a), In(b), &name.value, &ns.value, &found_), {&ns, &name});
  }
  std::string Block(BlockType call, std::u16string_view op, std::u16string_view part,
                    std::u16string_view ns) {
    Out name, typeNs;
    return Answer((port_->*call)(In(op), In(part), In(ns), &name.value, &typeNs.value, &found_),
                  {&typeNs, &name});
  }
  std::string Block(BlockText call, std::u16string_view op, std::u16string_view part,
                    std::u16string_view ns) {
    Out text;
    return Answer((port_->*call)(In(op), In(part), In(ns), &text.value, &found_), {&text});
  }
  std::string Flagged(Flag call, std::u16string_view op, std::u16string_view part) {
    VARIANT_BOOL flag = 99;
    if (FAILED((port_->*call)(In(op), In(part), &flag))) return "failed";
    return flag == VARIANT_TRUE ? "true" : flag == VARIANT_FALSE ? "false" : "bad flag";
  }
  std::string Member(std::u16string_view type, std::u16string_view typeNs, std::u16string_view member,
                     std::u16string_view memberNs) {
    Out name, ns;
    return Answer(
        port_->GetMemberType(In(type), In(typeNs), In(member), In(memberNs), &name.value, &ns.value, &found_),
        {&ns, &name});
  }
  std::string Header(std::u16string_view element, std::u16string_view ns) {
    Out name, typeNs;
    return Answer(port_->GetHeaderType(In(element), In(ns), &name.value, &typeNs.value, &found_),
                  {&typeNs, &name});
  }
  std::string Rank(std::u16string_view type, std::u16string_view ns) {
    LONG rank = -7;
    const HRESULT hr = port_->GetArrayRank(In(type), In(ns), &rank, &found_);
    return Answer(hr, {}) == "-" ? "-" : std::to_string(rank);
  }
  std::string Position(std::u16string_view op, std::u16string_view part) {
    LONG position = -7;
    const HRESULT hr = port_->GetPartPosition(In(op), In(part), &position, &found_);
    return Answer(hr, {}) == "-" ? "-" : std::to_string(position);
  }
  std::string LiteralArray(std::u16string_view type, std::u16string_view ns) {
    Out itemType, itemTypeNs, element, elementNs;
    return Answer(port_->GetLiteralArrayType(In(type), In(ns), &itemType.value, &itemTypeNs.value,
                                             &element.value, &elementNs.value, &found_),
                  {&itemTypeNs, &itemType, &elementNs, &element});
  }
  std::string ActionRequired(std::u16string_view op) {
    VARIANT_BOOL flag = 99;
    const HRESULT hr = port_->IsSOAPActionRequired(In(op), &flag, &found_);
    return Answer(hr, {}) == "-" ? "-" : flag == VARIANT_TRUE ? "true" : "false";
  }
  // The parts in walk order, as "name@position".
  std::string Walk(std::u16string_view op) {
    std::string walk;
    Out part;
    LONG position = 0;
    for (HRESULT hr = port_->GetFirstPart(In(op), &part.value, &position, &found_);
         SUCCEEDED(hr) && found_ == VARIANT_TRUE;
         hr = port_->GetNextPart(In(op), &part.value, &position, &found_)) {
      walk += Narrow(part.Take()) + "@" + std::to_string(position) + " ";
    }
    return walk;
  }
  std::string Address() {
    Out host, path;
    LONG port = -7;
    if (Answer(port_->GetAddress(&host.value, &path.value, &port, &found_), {}) == "-") return "-";
    return Narrow(host.Take()) + " " + Narrow(path.Take()) + ":" + std::to_string(port);
  }
  std::string PortText(HRESULT (PortDescription::*call)(BSTR*, VARIANT_BOOL*)) {
    Out text;
    return Answer((port_->*call)(&text.value, &found_), {&text});
  }

 private:
  // An output BSTR, freed when the answer is taken.
  struct Out {
    BSTR value = nullptr;
    ~Out() { SysFreeString(value); }
    std::u16string Take() {
      std::u16string text(value ? value : u"", SysStringLen(value));
      SysFreeString(std::exchange(value, nullptr));
      return text;
    }
  };

  BSTR In(std::u16string_view text) {
    return inputs_.emplace_back(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))).get();
  }

  // Pairs of (namespace, name) print as "{ns}name"; single texts as they are.
  std::string Answer(HRESULT hr, std::initializer_list<Out*> outs) {
    if (FAILED(hr)) return "failed";
    if (found_ != VARIANT_TRUE) return found_ == VARIANT_FALSE ? "-" : "bad found";
    std::string answer;
    for (auto out = outs.begin(); out != outs.end(); ++out) {
      if (outs.size() == 1) return Narrow((*out)->Take());
      const std::string ns = Narrow((*out)->Take());
      const std::string name = Narrow((*++out)->Take());
      answer += (answer.empty() ? "" : " ") + (ns.empty() ? name : "{" + ns + "}" + name);
    }
    return answer;
  }

  PortDescription* port_;
  VARIANT_BOOL found_ = 99;
  std::vector<qxcom::Bstr> inputs_;
};

struct Row {
  const char* why;
  std::function<std::string(Ask&)> ask;
  std::string expected;
};

// Loads the WSDL at `path` and asks each row's question of its port.
inline void CheckPort(const std::string& path, const std::vector<Row>& rows) {
  WsdlError error;
  PortDescription* port = LoadWsdlPort(path.c_str(), nullptr, &error);
  ASSERT_NE(port, nullptr) << error.file << ":" << error.line << ": " << error.message;
  Ask ask(port);
  for (const Row& row : rows) EXPECT_EQ(row.ask(ask), row.expected) << row.why;
  EXPECT_EQ(port->Release(), 0u);
}

using PD = PortDescription;
inline const std::string kXsd = "{http://www.w3.org/2001/XMLSchema}";
inline const std::string kEnc11 = "http://schemas.xmlsoap.org/soap/encoding/";

}  // namespace qxsoap::host::test

#endif  // QXSOAP_TESTS_HOST_PORT_QUESTIONS_H_

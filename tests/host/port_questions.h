// host/port_questions.h: a port's PortDescription answers as rows of
// question ("in echoString inputString") and answer text.
#ifndef QXSOAP_TESTS_HOST_PORT_QUESTIONS_H_
#define QXSOAP_TESTS_HOST_PORT_QUESTIONS_H_

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "host/wsdl_source.h"
#include "qxcom/owned.h"
#include "qxsoap/wsdl_port.h"

namespace qxsoap::host::test {

using Prefixes = std::map<std::string, std::string>;
inline const std::string kEnc11 = "http://schemas.xmlsoap.org/soap/encoding/";

// A question is a verb and names, qualified as "prefix:name" (xsd, enc and
// enc12 are known). Answers: the text, a type as "prefix:name" or "{ns}name",
// "-" for not found.
//   binding | style | address
//   action | ns | inUse | outUse | inStyle | outStyle | required | walk  OP
//   in | out | return | param | isIn | isOut | position  OP PART
//   inHeader | outHeader | faultHeader | detail (types), inHeaderStyle |
//     outHeaderStyle | faultHeaderStyle | detailStyle | detailUse  OP ELEMENT
//   header ELEMENT | base | item | rank | literal TYPE | member TYPE MEMBER
class Ask {
 public:
  Ask(PortDescription* port, Prefixes prefixes) : port_(port), prefixes_(std::move(prefixes)) {
    prefixes_.emplace("xsd", "http://www.w3.org/2001/XMLSchema");
    prefixes_.emplace("enc", kEnc11);
    prefixes_.emplace("enc12", "http://www.w3.org/2003/05/soap-encoding");
  }

  std::string operator()(const std::string& question) {
    using PD = PortDescription;
    using OpText = HRESULT (PD::*)(BSTR, BSTR*, VARIANT_BOOL*);
    using PartType = HRESULT (PD::*)(BSTR, BSTR, BSTR*, BSTR*, VARIANT_BOOL*);
    using Flag = HRESULT (PD::*)(BSTR, BSTR, VARIANT_BOOL*);
    using BlockType = HRESULT (PD::*)(BSTR, BSTR, BSTR, BSTR*, BSTR*, VARIANT_BOOL*);
    using BlockText = HRESULT (PD::*)(BSTR, BSTR, BSTR, BSTR*, VARIANT_BOOL*);
    using TypeType = HRESULT (PD::*)(BSTR, BSTR, BSTR*, BSTR*, VARIANT_BOOL*);
    static const std::map<std::string, OpText> opTexts = {
        {"action", &PD::GetSOAPAction},         {"ns", &PD::GetOperationNS},
        {"inUse", &PD::GetInputUse},            {"outUse", &PD::GetOutputUse},
        {"inStyle", &PD::GetInputEncodingStyle}, {"outStyle", &PD::GetOutputEncodingStyle}};
    static const std::map<std::string, PartType> partTypes = {
        {"in", &PD::GetInputPartType}, {"out", &PD::GetOutputPartType}, {"return", &PD::GetReturnType}};
    static const std::map<std::string, Flag> flags = {
        {"param", &PD::IsParameter}, {"isIn", &PD::IsInParameter}, {"isOut", &PD::IsOutParameter}};
    static const std::map<std::string, BlockType> blockTypes = {
        {"inHeader", &PD::GetInputHeaderType}, {"outHeader", &PD::GetOutputHeaderType},
        {"faultHeader", &PD::GetFaultHeaderType}, {"detail", &PD::GetFaultDetailType}};
    static const std::map<std::string, BlockText> blockTexts = {
        {"inHeaderStyle", &PD::GetInputHeaderEncodingStyle},
        {"outHeaderStyle", &PD::GetOutputHeaderEncodingStyle},
        {"faultHeaderStyle", &PD::GetFaultHeaderEncodingStyle},
        {"detailStyle", &PD::GetFaultDetailEncodingStyle}, {"detailUse", &PD::GetFaultDetailUse}};
    static const std::map<std::string, TypeType> typeTypes = {
        {"base", &PD::GetBaseType}, {"item", &PD::GetArrayItemType}, {"header", &PD::GetHeaderType}};

    std::istringstream words(question);
    std::string verb, a, b;
    words >> verb >> a >> b;
    found_ = 99;
    Out t1, t2, t3, t4;
    LONG number = -7;
    VARIANT_BOOL flag = 99;
    if (verb == "binding") return Answer(port_->GetBindingNS(&t1.value, &found_), t1);
    if (verb == "style") return Answer(port_->GetStyle(&t1.value, &found_), t1);
    if (verb == "address") {
      const std::string answer = Answer(port_->GetAddress(&t1.value, &t2.value, &number, &found_));
      return answer != "" ? answer : Narrow(t1.Take()) + " " + Narrow(t2.Take()) + ":" + std::to_string(number);
    }
    if (auto call = opTexts.find(verb); call != opTexts.end())
      return Answer((port_->*call->second)(In(a), &t1.value, &found_), t1);
    if (verb == "required") {
      const std::string answer = Answer(port_->IsSOAPActionRequired(In(a), &flag, &found_));
      return answer == "" ? Flagged(flag) : answer;
    }
    if (verb == "walk") {  // the parts in walk order, as "name@position "
      std::string walk;
      for (HRESULT hr = port_->GetFirstPart(In(a), &t1.value, &number, &found_);
           SUCCEEDED(hr) && found_ == VARIANT_TRUE; hr = port_->GetNextPart(In(a), &t1.value, &number, &found_))
        walk += Narrow(t1.Take()) + "@" + std::to_string(number) + " ";
      return walk;
    }
    if (auto call = partTypes.find(verb); call != partTypes.end())
      return Answer((port_->*call->second)(In(a), In(b), &t1.value, &t2.value, &found_), t2, t1);
    if (auto call = flags.find(verb); call != flags.end())
      return FAILED((port_->*call->second)(In(a), In(b), &flag)) ? "failed" : Flagged(flag);
    if (verb == "position") {
      const std::string answer = Answer(port_->GetPartPosition(In(a), In(b), &number, &found_));
      return answer == "" ? std::to_string(number) : answer;
    }
    if (auto call = blockTypes.find(verb); call != blockTypes.end()) {
      const auto [name, ns] = Qualified(b);
      return Answer((port_->*call->second)(In(a), name, ns, &t1.value, &t2.value, &found_), t2, t1);
    }
    if (auto call = blockTexts.find(verb); call != blockTexts.end()) {
      const auto [name, ns] = Qualified(b);
      return Answer((port_->*call->second)(In(a), name, ns, &t1.value, &found_), t1);
    }
    const auto [type, typeNs] = Qualified(a);
    if (auto call = typeTypes.find(verb); call != typeTypes.end())
      return Answer((port_->*call->second)(type, typeNs, &t1.value, &t2.value, &found_), t2, t1);
    if (verb == "rank") {
      const std::string answer = Answer(port_->GetArrayRank(type, typeNs, &number, &found_));
      return answer == "" ? std::to_string(number) : answer;
    }
    if (verb == "literal")
      return Answer(port_->GetLiteralArrayType(type, typeNs, &t1.value, &t2.value, &t3.value, &t4.value, &found_),
                    t2, t1, t4, t3);
    if (verb == "member") {
      const auto [member, memberNs] = Qualified(b);
      return Answer(port_->GetMemberType(type, typeNs, member, memberNs, &t1.value, &t2.value, &found_), t2, t1);
    }
    ADD_FAILURE() << "no such question: " << question;
    return "";
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

  BSTR In(const std::string& text) {
    const std::u16string wide(text.begin(), text.end());
    return inputs_.emplace_back(SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()))).get();
  }

  // "prefix:name" as (name, namespace).
  std::pair<BSTR, BSTR> Qualified(const std::string& word) {
    const size_t colon = word.find(':');
    if (colon == std::string::npos) return {In(word), In("")};
    if (!prefixes_.count(word.substr(0, colon))) ADD_FAILURE() << "no such prefix: " << word;
    return {In(word.substr(colon + 1)), In(prefixes_[word.substr(0, colon)])};
  }

  static std::string Flagged(VARIANT_BOOL flag) {
    return flag == VARIANT_TRUE ? "true" : flag == VARIANT_FALSE ? "false" : "bad flag";
  }

  // No outputs: "" when found. One: its text. Pairs of (namespace, name):
  // qualified names joined by spaces.
  template <typename... Outs>
  std::string Answer(HRESULT hr, Outs&... outs) {
    if (FAILED(hr)) return "failed";
    if (found_ != VARIANT_TRUE) return found_ == VARIANT_FALSE ? "-" : "bad found";
    std::vector<std::string> texts = {Narrow(outs.Take())...};
    if (texts.size() == 1) return texts[0];
    std::string answer;
    for (size_t i = 0; i + 1 < texts.size(); i += 2) {
      std::string qualifier = texts[i].empty() ? "" : "{" + texts[i] + "}";
      for (const auto& [prefix, ns] : prefixes_)
        if (!texts[i].empty() && ns == texts[i]) qualifier = prefix + ":";
      answer += (answer.empty() ? "" : " ") + qualifier + texts[i + 1];
    }
    return answer;
  }

  PortDescription* port_;
  Prefixes prefixes_;
  VARIANT_BOOL found_ = 99;
  std::vector<qxcom::Bstr> inputs_;
};

// A question and the answer expected.
struct Row {
  std::string question, answer;
};

inline void CheckPort(PortDescription* port, const Prefixes& prefixes, const std::vector<Row>& rows) {
  Ask ask(port, prefixes);
  for (const Row& row : rows) EXPECT_EQ(ask(row.question), row.answer) << row.question;
}

// Loads the WSDL at `path`, asks the rows of its port and releases it.
inline void CheckWsdl(const std::string& path, const Prefixes& prefixes, const std::vector<Row>& rows) {
  WsdlError error;
  PortDescription* port = LoadWsdlPort(path.c_str(), nullptr, &error);
  ASSERT_NE(port, nullptr) << error.file << ":" << error.line << ": " << error.message;
  CheckPort(port, prefixes, rows);
  EXPECT_EQ(port->Release(), 0u);
}

}  // namespace qxsoap::host::test

#endif  // QXSOAP_TESTS_HOST_PORT_QUESTIONS_H_

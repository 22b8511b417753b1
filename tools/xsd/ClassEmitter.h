#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "Binding.h"
#include "Code.h"
#include "PropertyEmitters.h"
#include "Vocabulary.h"

namespace vexlo9::xsd {

// Writes one generated class: its declaration for the header and its definition for the source. What each
// property contributes comes from its own emitter.
class ClassEmitter {
 public:
  ClassEmitter(const Vocabulary& words, const ClassType& cls);
  ClassEmitter(const ClassEmitter&) = delete;  // its properties refer to its scope
  ClassEmitter& operator=(const ClassEmitter&) = delete;

  void Declare(cpp::Code& code) const;
  void Define(cpp::Code& code) const;

 private:
  static std::map<std::string, std::string> FieldNames(const ClassType& cls,
                                                       const std::vector<std::unique_ptr<PropertyEmitter>>& properties);
  std::string BaseClass() const;
  std::string Base() const { return words_.Spelled(cls_.base->name); }
  void DeclareMembers(cpp::Code& code) const;
  void DefineConstructor(cpp::Code& code) const;
  void DefineNew(cpp::Code& code) const;
  void DefineInit(cpp::Code& code) const;
  void DefineParticles(cpp::Code& code) const;
  void DefineClassInfo(cpp::Code& code) const;
  void DefineMemberTable(cpp::Code& code) const;
  std::vector<Expr> Declarations(const std::string& info) const;

  const Vocabulary words_;  // as seen from the class's C++ namespace
  const ClassType& cls_;
  ClassScope scope_;
  std::vector<std::unique_ptr<PropertyEmitter>> properties_;
};

}  // namespace vexlo9::xsd

#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "Binding.h"
#include "Model.h"

namespace vexlo9::xsd {

// The constant that names a namespace in generated code, and the output whose header defines it.
struct NamespaceConstant {
  std::string name;
  size_t output = 0;
  std::string cppNamespace;  // that of the classes of the namespace it names
};

// What one command-line schema gives: a header (its classes, enumerations, factory and converter) and a source.
struct Output {
  std::string stem;                  // file names
  std::string prefix;                // of the factory and converter classes: "PurchaseOrder"
  std::string ns;                    // the target namespace of its schema
  std::string cppNamespace;          // of its factory, converter and ReadDocument: that of ns
  std::string nsConstant;            // "kNamespace"
  std::string factory;               // class name, empty when no class needs one
  std::string factoryAccessor;       // the function that returns the one factory
  std::string converter;             // class name, empty when there is no enumeration
  std::vector<std::string> sources;  // the schema files it holds
  std::vector<ClassType*> classes;   // bases before the classes built on them
  std::vector<const EnumType*> enums;
  std::vector<const Creator*> creators;    // those its registries name, inherited ones included
  std::vector<ClassType*> namedClasses;    // made by CreateNamedClass, likewise
  std::vector<const EnumType*> converted;  // enumerations its converter handles, likewise
  std::vector<Root> roots;
  // Headers: its header needs those of the outputs of its classes' bases (complete types) and declares the classes
  // and enumerations of other outputs that it names; its source needs every output whose classes it makes.
  std::set<size_t> headerIncludes;
  std::set<size_t> sourceIncludes;
  std::vector<const ClassType*> foreign;
  std::vector<const EnumType*> foreignEnums;
};

// A source file of class definitions, when they are spread over several so that each compiles in bounded memory.
struct Part {
  std::string name;
  std::vector<const ClassType*> classes;
  std::set<size_t> includes;  // the outputs whose headers it needs
};

// The files of a run and what each holds.
struct Package {
  std::vector<Output> outputs;
  std::vector<Part> parts;  // empty: each output's source defines its own classes
  std::vector<ClassType*> namedClasses;  // the class type numbers of CreateNamedClass: position + 1
  std::map<std::string, NamespaceConstant> namespaceConstants;  // by namespace URI
};

// Places the classes of a binding into files: which class and enumeration each output declares, the namespace
// constants, what each factory and converter answers, which headers each file needs, and (with options.parts) the
// sources that define the classes. Refuses outputs whose headers would need each other.
Package MakePackage(Binding& binding, const SchemaModel& model, const Options& options);

// Whether the class's registry, inherited declarations included, names its output's factory.
bool NeedsFactory(const ClassType& cls);

}  // namespace vexlo9::xsd

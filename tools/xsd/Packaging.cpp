#include "Packaging.h"

#include <algorithm>
#include <filesystem>
#include <functional>

namespace vexlo9::xsd {

namespace {

template <class T>
void AddOnce(std::vector<T>& list, const T& item) {
  if (std::find(list.begin(), list.end(), item) == list.end()) list.push_back(item);
}

class Packager {
 public:
  Packager(Binding& binding, const SchemaModel& model) : binding_(binding), model_(model) {}

  void Run() {
    for (ClassType& cls : binding_.classes) MarkFactoryUse(cls);
    NameOutputs();
    PlaceClasses();
    for (size_t i = 0; i < binding_.outputs.size(); ++i) CollectRegistries(i);
    for (const Root& root : binding_.roots) PlaceRoot(root);
    for (size_t i = 0; i < binding_.outputs.size(); ++i) RefuseMutualIncludes(i);
  }

 private:
  // Whether the class's registry, inherited declarations included, names the factory.
  static void MarkFactoryUse(ClassType& cls) {
    for (const ClassType* c = &cls; c; c = c->base) {
      for (const ElementProperty& p : c->particles) {
        if (p.kind == Kind::Enum || p.kind == Kind::AbstractClass ||
            (p.kind == Kind::Class && p.occurs == Cardinality::Optional)) {
          cls.needsFactory = true;
        }
      }
      for (const AttributeProperty& a : c->attributes) {
        if (a.kind == AttributeProperty::AttrKind::Enum) cls.needsFactory = true;
      }
    }
  }

  // File names, the namespace of each output's first schema, and a constant for each namespace of a document.
  void NameOutputs() {
    const size_t count = model_.outputs.size();
    binding_.outputs.resize(count);
    for (size_t i = 0; i < count; ++i) {
      Output& out = binding_.outputs[i];
      out.stem = model_.outputs[i];
      out.prefix = TypeIdentifier(out.stem);
      out.nsConstant = count == 1 ? "kNamespace" : "k" + out.prefix + "Namespace";
      for (const DocumentInfo& document : model_.documents) {
        if (document.output != i) continue;
        out.sources.push_back(document.path);
        if (out.sources.size() == 1) out.ns = document.targetNamespace;
        if (document.targetNamespace.empty() || binding_.namespaceConstants.count(document.targetNamespace)) continue;
        const std::string name =
            document.targetNamespace == out.ns
                ? out.nsConstant
                : binding_.names.Claim("k" + TypeIdentifier(std::filesystem::path(document.path).stem().string()) +
                                       "Namespace");
        binding_.namespaceConstants[document.targetNamespace] = {name, i};
      }
    }
  }

  // Classes in each output, every base before what builds on it.
  void PlaceClasses() {
    std::set<const ClassType*> placed;
    const std::function<void(ClassType&)> place = [&](ClassType& cls) {
      if (!placed.insert(&cls).second) return;
      if (cls.base) place(*cls.base);
      binding_.outputs[cls.output].classes.push_back(&cls);
    };
    for (ClassType& cls : binding_.classes) place(cls);
    for (const EnumType& e : binding_.enums) binding_.outputs[e.output].enums.push_back(&e);
  }

  // What the output's factory and converter must answer: whatever its registries name, inherited ones included.
  void CollectRegistries(size_t index) {
    Output& out = binding_.outputs[index];
    const auto need = [&](size_t other) {
      if (other != index) out.includes.insert(other);
    };
    for (const ClassType* cls : out.classes) {
      if (cls->base) need(cls->base->output);
      for (const ClassType* c = cls; c; c = c->base) {
        for (const ElementProperty& p : c->particles) CollectParticle(out, p, need);
        for (const AttributeProperty& a : c->attributes) {
          if (!a.value.enumeration) continue;
          need(a.value.enumeration->output);
          AddOnce(out.converted, a.value.enumeration);
        }
      }
    }
    if (!out.namedClasses.empty() || !out.creators.empty() || !out.converted.empty()) {
      out.factory = binding_.names.Claim(out.prefix + "Factory");
    }
    if (!out.converted.empty()) out.converter = binding_.names.Claim(out.prefix + "EnumConverter");
  }

  void CollectParticle(Output& out, const ElementProperty& p, const std::function<void(size_t)>& need) {
    if (p.type) need(p.type->output);
    if (p.value.enumeration) {
      need(p.value.enumeration->output);
      AddOnce(out.converted, p.value.enumeration);
    }
    if (p.kind == Kind::Class && p.occurs == Cardinality::Optional) {
      AddOnce(out.namedClasses, p.type);
      AddOnce(binding_.namedClasses, p.type);
    }
    if (p.kind != Kind::AbstractClass) return;
    for (const Creator& creator : binding_.creators) {
      if (creator.name != p.creator) continue;
      if (std::find(out.creators.begin(), out.creators.end(), &creator) != out.creators.end()) continue;
      out.creators.push_back(&creator);
      for (const Alternative& choice : creator.choices) need(choice.cls->output);
    }
  }

  void PlaceRoot(const Root& root) {
    Output& out = binding_.outputs[root.output];
    out.roots.push_back(root);
    for (const Alternative& alternative : root.classes) {
      if (alternative.cls->output != root.output) out.includes.insert(alternative.cls->output);
    }
  }

  // An output that needs another's header may not be needed by it in turn.
  void RefuseMutualIncludes(size_t index) {
    const Output& out = binding_.outputs[index];
    std::vector<size_t> pending(out.includes.begin(), out.includes.end());
    std::set<size_t> seen;
    while (!pending.empty()) {
      const size_t next = pending.back();
      pending.pop_back();
      if (next == index) {
        Diagnostics::Refuse({out.sources.front(), 0}, "schema",
                            "its classes and those of another schema on the command line need each other: name only "
                            "the one that imports the other");
      }
      if (!seen.insert(next).second) continue;
      const std::set<size_t>& further = binding_.outputs[next].includes;
      pending.insert(pending.end(), further.begin(), further.end());
    }
  }

  Binding& binding_;
  const SchemaModel& model_;
};

}  // namespace

void Package(Binding& binding, const SchemaModel& model) { Packager(binding, model).Run(); }

}  // namespace vexlo9::xsd

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

// What a class costs to compile, roughly: its declarations and accessors. A particle of a class type costs about three
// times a value (templates instantiated for its class; measured on UBL's aggregates, 25 MB of g++ -O2 each).
size_t Weight(const ClassType& cls) {
  size_t weight = 4 + 2 * cls.attributes.size();
  for (const ElementProperty& p : cls.particles) weight += p.type ? 6 : 2;
  return weight;
}

class Packager {
 public:
  Packager(Binding& binding, const SchemaModel& model, const Options& options)
      : binding_(binding), model_(model), options_(options) {}

  Package Run() {
    for (const Creator& creator : binding_.creators) creators_[creator.name] = &creator;
    NameOutputs();
    PlaceClasses();
    for (size_t i = 0; i < package_.outputs.size(); ++i) CollectRegistries(i);
    for (size_t i = 0; i < package_.outputs.size(); ++i) CollectHeaderNeeds(i);
    for (const Root& root : binding_.roots) PlaceRoot(root);
    if (options_.parts > 0) SplitDefinitions();
    for (size_t i = 0; i < package_.outputs.size(); ++i) RefuseMutualIncludes(i);
    return std::move(package_);
  }

 private:
  // File names, the namespace of each output's first schema, and a constant for each namespace of a document.
  void NameOutputs() {
    const size_t count = model_.outputs.size();
    package_.outputs.resize(count);
    for (size_t i = 0; i < count; ++i) {
      Output& out = package_.outputs[i];
      out.stem = model_.outputs[i];
      out.prefix = TypeIdentifier(out.stem);
      out.nsConstant = count == 1 ? "kNamespace" : "k" + out.prefix + "Namespace";
      for (const DocumentInfo& document : model_.documents) {
        if (document.output != i) continue;
        out.sources.push_back(document.path);
        if (out.sources.size() == 1) out.ns = document.targetNamespace;
        if (document.targetNamespace.empty() || package_.namespaceConstants.count(document.targetNamespace)) continue;
        const std::string name =
            document.targetNamespace == out.ns
                ? out.nsConstant
                : binding_.names.Claim("k" + TypeIdentifier(std::filesystem::path(document.path).stem().string()) +
                                       "Namespace");
        package_.namespaceConstants[document.targetNamespace] = {name, i,
                                                                  options_.CppNamespaceOf(document.targetNamespace)};
      }
      out.cppNamespace = options_.CppNamespaceOf(out.ns);
    }
  }

  // Classes in each output, every base before what builds on it: all of them, or with --root those that the roots
  // reach, and the enumerations these name.
  void PlaceClasses() {
    const std::set<const ClassType*> reached = Reached();
    std::set<const ClassType*> placed;
    const std::function<void(ClassType&)> place = [&](ClassType& cls) {
      if (!placed.insert(&cls).second) return;
      if (cls.base) place(*cls.base);
      package_.outputs[cls.output].classes.push_back(&cls);
    };
    std::set<const EnumType*> named;
    for (ClassType& cls : binding_.classes) {
      if (!options_.roots.empty() && !reached.count(&cls)) continue;
      place(cls);
      for (const ElementProperty& p : cls.particles) named.insert(p.value.enumeration);
      for (const AttributeProperty& a : cls.attributes) named.insert(a.value.enumeration);
    }
    for (const EnumType& e : binding_.enums) {
      if (options_.roots.empty() || named.count(&e)) package_.outputs[e.output].enums.push_back(&e);
    }
  }

  // The classes a document of the roots may hold: theirs, their bases', those of their particles, and every class
  // a factory method they call may make.
  std::set<const ClassType*> Reached() const {
    std::set<const ClassType*> reached;
    std::vector<const ClassType*> work;
    const auto reach = [&](const ClassType* cls) {
      if (cls && reached.insert(cls).second) work.push_back(cls);
    };
    for (const Root& root : binding_.roots) {
      for (const Alternative& a : root.classes) reach(a.cls);
    }
    while (!work.empty()) {
      const ClassType* cls = work.back();
      work.pop_back();
      reach(cls->base);
      for (const ElementProperty& p : cls->particles) {
        reach(p.type);
        if (const Creator* creator = CreatorOf(p)) {
          reach(creator->result);
          for (const Alternative& a : creator->choices) reach(a.cls);
        }
      }
    }
    return reached;
  }

  // What the output's factory and converter must answer: whatever its registries name, inherited ones included.
  void CollectRegistries(size_t index) {
    Output& out = package_.outputs[index];
    for (const ClassType* cls : out.classes) {
      for (const ClassType* c = cls; c; c = c->base) {
        for (const ElementProperty& p : c->particles) CollectParticle(out, p);
        for (const AttributeProperty& a : c->attributes) {
          if (a.value.enumeration) AddOnce(out.converted, a.value.enumeration);
        }
      }
    }
    if (!out.namedClasses.empty() || !out.creators.empty() || !out.converted.empty()) {
      out.factory = binding_.names.Claim(out.prefix + "Factory");
      out.factoryAccessor = package_.outputs.size() == 1 ? "Factory" : out.factory + "Instance";
    }
    if (!out.converted.empty()) out.converter = binding_.names.Claim(out.prefix + "EnumConverter");
    const auto need = [&](size_t other) {
      if (other != index) out.sourceIncludes.insert(other);
    };
    for (const ClassType* cls : out.classes) {
      for (const size_t other : Definitions(*cls)) need(other);
    }
    for (const ClassType* cls : out.namedClasses) need(cls->output);
    for (const Creator* creator : out.creators) {
      for (const Alternative& choice : creator->choices) {
        need(choice.cls->output);
        choice.cls->madeByName = true;
      }
    }
  }

  void CollectParticle(Output& out, const ElementProperty& p) {
    if (p.value.enumeration) AddOnce(out.converted, p.value.enumeration);
    if (p.kind == Kind::Class && p.occurs == Cardinality::Optional) {
      AddOnce(out.namedClasses, p.type);
      AddOnce(package_.namedClasses, p.type);
      p.type->madeByName = true;
    }
    if (p.kind != Kind::AbstractClass) return;
    if (const Creator* creator = CreatorOf(p)) AddOnce(out.creators, creator);
  }

  // The factory method that makes the property's objects, or nothing.
  const Creator* CreatorOf(const ElementProperty& p) const {
    const auto it = creators_.find(p.creator);
    return it == creators_.end() ? nullptr : it->second;
  }

  // The outputs whose headers a class's definition needs: its own, and those of the classes it makes and the
  // enumerations it names.
  static std::set<size_t> Definitions(const ClassType& cls) {
    std::set<size_t> outputs{cls.output};
    for (const ElementProperty& p : cls.particles) {
      if (p.type) outputs.insert(p.type->output);
      if (p.value.enumeration) outputs.insert(p.value.enumeration->output);
    }
    for (const AttributeProperty& a : cls.attributes) {
      if (a.value.enumeration) outputs.insert(a.value.enumeration->output);
    }
    return outputs;
  }

  // A header needs complete bases; the classes and enumerations of other outputs it names are declared ahead.
  void CollectHeaderNeeds(size_t index) {
    Output& out = package_.outputs[index];
    const auto name = [&](const EnumType* e) {
      if (e && e->output != index) AddOnce(out.foreignEnums, e);
    };
    for (const ClassType* cls : out.classes) {
      if (cls->base && cls->base->output != index) out.headerIncludes.insert(cls->base->output);
      for (const ElementProperty& p : cls->particles) {
        name(p.value.enumeration);
        if (p.type && p.type->output != index) AddOnce(out.foreign, static_cast<const ClassType*>(p.type));
      }
      for (const AttributeProperty& a : cls->attributes) name(a.value.enumeration);
    }
  }

  void PlaceRoot(const Root& root) {
    Output& out = package_.outputs[root.output];
    out.roots.push_back(root);
    for (const Alternative& alternative : root.classes) {
      alternative.cls->madeByName = true;
      if (alternative.cls->output != root.output) out.sourceIncludes.insert(alternative.cls->output);
    }
  }

  // The class definitions of every output spread over the parts, in placement order, each part taking about as
  // much as the others.
  void SplitDefinitions() {
    std::vector<const ClassType*> all;
    for (const Output& out : package_.outputs) all.insert(all.end(), out.classes.begin(), out.classes.end());
    size_t total = 0;
    for (const ClassType* cls : all) total += Weight(*cls);
    const size_t count = static_cast<size_t>(options_.parts);
    package_.parts.resize(count);
    size_t done = 0;
    for (const ClassType* cls : all) {
      Part& part = package_.parts[std::min(count - 1, done * count / std::max<size_t>(total, 1))];
      part.classes.push_back(cls);
      for (const size_t output : Definitions(*cls)) part.includes.insert(output);
      done += Weight(*cls);
    }
    for (size_t i = 0; i < count; ++i) {
      package_.parts[i].name = package_.outputs.front().stem + "-" + std::to_string(i + 1) + ".cpp";
    }
  }

  // An output whose header needs another's may not be needed by it in turn.
  void RefuseMutualIncludes(size_t index) {
    const Output& out = package_.outputs[index];
    std::vector<size_t> pending(out.headerIncludes.begin(), out.headerIncludes.end());
    std::set<size_t> seen;
    while (!pending.empty()) {
      const size_t next = pending.back();
      pending.pop_back();
      if (next == index) {
        Diagnostics::Refuse({out.sources.front(), 0}, "schema",
                            "its classes and those of another schema on the command line derive from each other: "
                            "name only the one that imports the other");
      }
      if (!seen.insert(next).second) continue;
      const std::set<size_t>& further = package_.outputs[next].headerIncludes;
      pending.insert(pending.end(), further.begin(), further.end());
    }
  }

  Binding& binding_;
  const SchemaModel& model_;
  const Options& options_;
  Package package_;
  std::map<std::string, const Creator*> creators_;  // by name
};

}  // namespace

Package MakePackage(Binding& binding, const SchemaModel& model, const Options& options) {
  return Packager(binding, model, options).Run();
}

bool NeedsFactory(const ClassType& cls) {
  for (const ClassType* c = &cls; c; c = c->base) {
    for (const ElementProperty& p : c->particles) {
      if (p.kind == Kind::Enum || p.kind == Kind::AbstractClass ||
          (p.kind == Kind::Class && p.occurs == Cardinality::Optional)) {
        return true;
      }
    }
    for (const AttributeProperty& a : c->attributes) {
      if (a.kind == AttributeProperty::AttrKind::Enum) return true;
    }
  }
  return false;
}

}  // namespace vexlo9::xsd

#include "vexlo9/serialization/ClassInfo.h"

#include <gtest/gtest.h>

#include <vector>

#include "vexlo9/platform/Error.h"
#include "vexlo9/serialization/detail/AttributeInfo.h"
#include "vexlo9/serialization/detail/ElementInfo.h"

namespace vexlo9 {
namespace {

// Records the values it is asked to check; rejects negative numbers.
class RecordingElement : public detail::ElementInfo {
 public:
  explicit RecordingElement(int id) : id(id) {}
  detail::DescriptorTraits Traits() const override {
    return {detail::Group::Seq, detail::ValueKind::Prim, detail::Cardinality::Mnd, ""};
  }
  bool ElementFromXml(const XmlSerializationContext&, Object&, XmlNode, XmlNode&, std::string_view,
                      XmlElementType) const override {
    return false;
  }
  bool ElementToXml(const XmlSerializationContext&, Object&, XmlTextWriter&) const override { return false; }
  bool Validate(const XmlSerializationContext&, Object&, bool, bool) const override { return true; }
  void CheckRestriction(const Variant& val) const override {
    checked.push_back(val);
    if (val.ToLong() < 0) throw Error(110, "Recording", "negative");
  }
  int id;
  mutable std::vector<Variant> checked;
};

class RecordingAttribute : public detail::AttributeInfo {
 public:
  void AttributeToXml(const XmlSerializationContext&, Object&, XmlTextWriter&) const override {}
  bool AttributeFromXml(const XmlSerializationContext&, Object&, const XmlAttribute&) const override {
    return false;
  }
  void Validate(const XmlSerializationContext&, bool) const override {}
  void CheckRestriction(const Variant& val) const override { checked.push_back(val); }
  mutable std::vector<Variant> checked;
};

TEST(ClassInfo, StartsWithItsInitialValues) {
  const ClassInfo info;
  EXPECT_EQ(info.GroupType(), XmlGroupType::Sequence);
  EXPECT_EQ(info.ElementType(), XmlElementType::Element);
  EXPECT_EQ(info.ElementName(), "");
  EXPECT_EQ(info.ElementNamespaceURI(), "");
  EXPECT_FALSE(info.AllowText());
  EXPECT_FALSE(info.FromXmlFailIfAttributeUnknown());
  EXPECT_FALSE(info.IsClassDerived());
  EXPECT_EQ(info.ClassFactory(), nullptr);
  EXPECT_EQ(info.HiddenElements().Count(), 0);
  EXPECT_EQ(info.HiddenAttributes().Count(), 0);
}

TEST(ClassInfo, DescriptorsComeBackInAppendOrder) {
  ClassInfo info;
  std::vector<std::shared_ptr<RecordingElement>> added;
  for (int id = 1; id <= 3; ++id) {
    added.push_back(std::make_shared<RecordingElement>(id));
    info.HiddenElements().Add(added.back());
  }
  ASSERT_EQ(info.HiddenElements().Count(), 3);
  for (int32_t i = 1; i <= 3; ++i) EXPECT_EQ(info.HiddenElements().Item(i), added[i - 1]);
  int expectedId = 1;
  for (const auto& element : info.HiddenElements()) {
    EXPECT_EQ(static_cast<const RecordingElement&>(*element).id, expectedId++);
  }
  info.HiddenElements().Remove(2);
  EXPECT_EQ(info.HiddenElements().Count(), 2);
  EXPECT_EQ(info.HiddenElements().Item(2), added[2]);
}

TEST(ClassInfo, PositionsOutsideTheListRaise9) {
  ClassInfo info;
  info.HiddenElements().Add(std::make_shared<RecordingElement>(1));
  info.HiddenAttributes().Add(std::make_shared<RecordingAttribute>());
  const struct {
    const char* what;
    std::function<void()> call;
  } cases[] = {
      {"element 0", [&] { info.HiddenElements().Item(0); }},
      {"element Count+1", [&] { info.HiddenElements().Item(2); }},
      {"attribute 0", [&] { info.HiddenAttributes().Item(0); }},
      {"attribute Count+1", [&] { info.HiddenAttributes().Item(2); }},
      {"remove 0", [&] { info.HiddenElements().Remove(0); }},
      {"check element 2", [&] { info.CheckElementRestriction(2, Variant(1)); }},
      {"check attribute -1", [&] { info.CheckAttributeRestriction(-1, Variant(1)); }},
  };
  for (const auto& c : cases) {
    try {
      c.call();
      ADD_FAILURE() << c.what;
    } catch (const Error& e) {
      EXPECT_EQ(e.Number(), 9) << c.what;
      EXPECT_EQ(e.Description(), "Subscript out of range") << c.what;
    }
  }
  EXPECT_EQ(info.HiddenElements().Count(), 1);
}

TEST(ClassInfo, RestrictionChecksReachTheDescriptorAtThePosition) {
  ClassInfo info;
  auto first = std::make_shared<RecordingElement>(1);
  auto second = std::make_shared<RecordingElement>(2);
  auto attribute = std::make_shared<RecordingAttribute>();
  info.HiddenElements().Add(first);
  info.HiddenElements().Add(second);
  info.HiddenAttributes().Add(attribute);

  info.CheckElementRestriction(2, Variant(int32_t{7}));
  info.CheckAttributeRestriction(1, Variant("a"));
  EXPECT_TRUE(first->checked.empty());
  ASSERT_EQ(second->checked.size(), 1u);
  EXPECT_EQ(second->checked[0], Variant(int32_t{7}));
  ASSERT_EQ(attribute->checked.size(), 1u);
  EXPECT_EQ(attribute->checked[0], Variant("a"));
  try {
    info.CheckElementRestriction(1, Variant(int32_t{-1}));
    FAIL();
  } catch (const Error& e) {
    EXPECT_EQ(e.Number(), 110);
  }
}

}  // namespace
}  // namespace vexlo9

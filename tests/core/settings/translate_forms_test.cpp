#include "core/settings/translate_forms.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <variant>

#include "core/settings/lang.h"
#include "temp_folder.h"

namespace skimlet {
namespace {

using Value = std::variant<int64_t, double, std::string, std::vector<std::string>>;

// A window or control: named components, properties of a fixed kind, and object properties.
struct FakeObject : TTranslatable {
  std::string Class;
  std::map<std::string, TPropertyKind> Kinds;
  std::map<std::string, Value> Values;
  std::map<std::string, std::unique_ptr<FakeObject>> Components;
  std::map<std::string, std::unique_ptr<FakeObject>> Objects;

  std::string ClassName() const override { return Class; }
  TTranslatable* FindComponent(std::string_view name) override {
    auto it = Components.find(std::string(name));
    return it == Components.end() ? nullptr : it->second.get();
  }
  TPropertyKind PropertyKind(std::string_view name) const override {
    if (Objects.count(std::string(name))) return TPropertyKind::Object;
    auto it = Kinds.find(std::string(name));
    return it == Kinds.end() ? TPropertyKind::None : it->second;
  }
  TTranslatable* PropertyObject(std::string_view name) override {
    auto it = Objects.find(std::string(name));
    return it == Objects.end() ? nullptr : it->second.get();
  }
  void SetInteger(std::string_view n, int64_t v) override { Values[std::string(n)] = v; }
  void SetFloat(std::string_view n, double v) override { Values[std::string(n)] = v; }
  void SetString(std::string_view n, const std::string& v) override { Values[std::string(n)] = v; }
  void SetStrings(std::string_view n, const std::vector<std::string>& v) override { Values[std::string(n)] = v; }
};

std::unique_ptr<FakeObject> MakeWindow(const std::string& cls) {
  auto w = std::make_unique<FakeObject>();
  w->Class = cls;
  w->Kinds = {{"Caption", TPropertyKind::String}, {"Width", TPropertyKind::Integer}};
  auto label = std::make_unique<FakeObject>();
  label->Kinds = {{"Caption", TPropertyKind::String},
                  {"Items", TPropertyKind::Other},
                  {"Opacity", TPropertyKind::Float},
                  {"Tag", TPropertyKind::Integer}};
  auto font = std::make_unique<FakeObject>();
  font->Kinds = {{"Name", TPropertyKind::String}};
  label->Objects["Font"] = std::move(font);
  w->Components["lblFind"] = std::move(label);
  return w;
}

TEST(AssignPropertyPath, WalksComponentsAndObjectPropertiesAndConvertsByKind) {
  auto w = MakeWindow("TfrmMain");
  FakeObject& label = *w->Components["lblFind"];
  EXPECT_TRUE(AssignPropertyPath(*w, "Caption", "Main", ","));
  EXPECT_TRUE(AssignPropertyPath(*w, "lblFind.Caption", "Find:", ","));
  EXPECT_TRUE(AssignPropertyPath(*w, "lblFind.Font.Name", "DejaVu Sans", ","));
  EXPECT_TRUE(AssignPropertyPath(*w, "lblFind.Items", "One, Two ,Three,", ","));
  EXPECT_TRUE(AssignPropertyPath(*w, "lblFind.Opacity", "0,5", ","));
  EXPECT_TRUE(AssignPropertyPath(*w, "Width", "-12", ","));
  EXPECT_EQ(w->Values["Caption"], Value(std::string("Main")));
  EXPECT_EQ(label.Values["Caption"], Value(std::string("Find:")));
  EXPECT_EQ(label.Objects["Font"]->Values["Name"], Value(std::string("DejaVu Sans")));
  EXPECT_EQ(label.Values["Items"], Value(std::vector<std::string>{"One", "Two", "Three"}));
  EXPECT_EQ(label.Values["Opacity"], Value(0.5));
  EXPECT_EQ(w->Values["Width"], Value(int64_t{-12}));
  EXPECT_TRUE(AssignPropertyPath(*w, "lblFind.Opacity", "0.25", ","));
  EXPECT_EQ(label.Values["Opacity"], Value(0.25));

  // Missing names and values that do not convert change nothing.
  for (const char* path : {"Nope", "lblNope.Caption", "lblFind.Nope.Name", "lblFind.Font.Nope", "lblFind.Caption.X"})
    EXPECT_FALSE(AssignPropertyPath(*w, path, "x", ",")) << path;
  EXPECT_FALSE(AssignPropertyPath(*w, "Width", "wide", ","));
  EXPECT_FALSE(AssignPropertyPath(*w, "lblFind.Tag", "1.5", ","));
  EXPECT_FALSE(AssignPropertyPath(*w, "lblFind.Opacity", "half", ","));
  EXPECT_EQ(w->Values["Width"], Value(int64_t{-12}));
  EXPECT_EQ(SplitListValue(" a ;; b ; ", ";"), (std::vector<std::string>{"a", "", "b"}));
  EXPECT_EQ(SplitListValue("", ","), (std::vector<std::string>{}));
}

TEST(TranslateForms, AppliesPropertyKeysToTheWindowsOfTheirClass) {
  test::TempFolder dir;
  test::WriteText(dir / "x.lng",
                  "[Translations]\n"
                  "sYes=Ja\n"
                  "FRMMAIN.Caption=Hauptfenster\n"
                  "frmMain.lblFind.Caption=Suchen:{ENTER}jetzt\n"
                  "frmMain.lblFind.Items=a;b\n"
                  "dlgAbout.Caption=Über\n"
                  "frmMain.Caption=second line loses\n");
  auto main = MakeWindow("TfrmMain");
  auto about = MakeWindow("TdlgAbout");
  std::vector<TTranslatable*> windows = {main.get(), about.get()};

  TLangChanger lang;
  TranslateForms(lang, windows);  // no language file: nothing happens
  EXPECT_TRUE(main->Values.empty());

  lang.OpenLangFileReadOnly((dir / "x.lng").string());
  lang.SetSeparator(";");
  TranslateForms(lang, windows, about.get());
  EXPECT_TRUE(main->Values.empty());
  EXPECT_EQ(about->Values["Caption"], Value(std::string("Über")));

  TranslateForms(lang, windows);
  EXPECT_EQ(main->Values["Caption"], Value(std::string("Hauptfenster")));
  EXPECT_EQ(main->Components["lblFind"]->Values["Caption"], Value(std::string("Suchen:\njetzt")));
  EXPECT_EQ(main->Components["lblFind"]->Values["Items"], Value(std::vector<std::string>{"a", "b"}));
}

}  // namespace
}  // namespace skimlet

// Translation of windows from the property keys of the language file.
//
// A property key is a window class name without its leading "T", ".", and a property path: the window's own
// property ("frmSkimlet.Caption"), or the name of a component the window owns followed by a path that may
// step through object properties ("frmSkimlet.lblFind.Font.Name"). The toolkit binds windows through
// TTranslatable; this file holds the parsing and the path walk.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace skimlet {

class TLangChanger;

enum class TPropertyKind { None, Integer, Float, String, Object, Other };

// An object with named components and named properties, such as a window or one of its controls.
class TTranslatable {
 public:
  virtual ~TTranslatable() = default;
  // The class name of a window ("TfrmSkimlet"); only windows need one.
  virtual std::string ClassName() const { return {}; }
  // The component of that name owned by this window, or nullptr.
  virtual TTranslatable* FindComponent(std::string_view name) = 0;
  // The kind of the property Name; None when there is none.
  virtual TPropertyKind PropertyKind(std::string_view name) const = 0;
  // The object held by the object property Name, or nullptr.
  virtual TTranslatable* PropertyObject(std::string_view name) = 0;
  virtual void SetInteger(std::string_view name, int64_t value) = 0;
  virtual void SetFloat(std::string_view name, double value) = 0;
  virtual void SetString(std::string_view name, const std::string& value) = 0;
  // Every other kind: a list of texts (the items of a list, the lines of a text).
  virtual void SetStrings(std::string_view name, const std::vector<std::string>& value) = 0;
};

// Assigns Value to the property Path of Window. Integers take a decimal integer, floating-point values a
// number with "." or "," as decimal separator; a value that does not convert leaves the property as it is.
// Other kinds get Value split at Separator, each piece without blanks around it, a last empty piece dropped.
// A path naming a component or property that does not exist changes nothing. True when a property was set.
bool AssignPropertyPath(TTranslatable& window, std::string_view path, std::string_view value,
                        std::string_view separator);

// Splits a list value at Separator as AssignPropertyPath does.
std::vector<std::string> SplitListValue(std::string_view value, std::string_view separator);

// Translates Window, or every window of OpenWindows when Window is nullptr, from the property keys of the
// current language file, in file order. A key applies to the windows whose class name is "T" followed by the
// key's text before its first "." (ASCII letter case ignored). Nothing happens without a language file.
void TranslateForms(const TLangChanger& lang, std::span<TTranslatable* const> openWindows,
                    TTranslatable* window = nullptr);

}  // namespace skimlet

// TInformationElements: the decoded elements of one BSS, in blob order, with the blob they were cut from.
#pragma once

#include <memory>
#include <vector>

#include "core/ie/element.h"
#include "core/ie/extension.h"
#include "core/ie/tree.h"
#include "core/ie/vendor.h"

namespace skimlet {

class TInformationElements {
public:
  TInformationElements() = default;
  TInformationElements(const TInformationElements&) = delete;
  TInformationElements& operator=(const TInformationElements&) = delete;
  TInformationElements(TInformationElements&&) = default;
  TInformationElements& operator=(TInformationElements&&) = default;

  std::vector<std::unique_ptr<TInformationElement>> Items;  // blob order
  TByteDynamicArray Data;  // the blob of the last Parse; every tree line's Offset refers to it

  // Throws the old elements away, keeps a copy of Blob and cuts it into elements. A last element whose body
  // does not fit is dropped, zero-length elements are skipped, a lone trailing byte is ignored.
  bool Parse(Bytes blob);

  int Count() const { return static_cast<int>(Items.size()); }
  const TInformationElement* GetItem(int index) const;

  // The first element of the given key; pointers are valid until the next Parse.
  const TInformationElement* FindElement(uint8_t id) const;
  const TVendorSpecificInformationElement* FindVendorElement(uint32_t oui, uint8_t subtype) const;
  const TExtensionsInformationElement* FindExtensionElement(uint8_t extensionID) const;

  // Typed lookups: the first element of the key, when it was decoded by class T.
  template <class T>
  const T* Find(uint8_t id) const {
    auto* e = FindElement(id);
    return e ? e->As<T>() : nullptr;
  }
  template <class T>
  const T* FindVendor(uint32_t oui, uint8_t subtype) const {
    auto* e = FindVendorElement(oui, subtype);
    return e ? e->As<T>() : nullptr;
  }
  template <class T>
  const T* FindExtension(uint8_t extensionID) const {
    auto* e = FindExtensionElement(extensionID);
    return e ? e->As<T>() : nullptr;
  }

  // Clears Tree and fills it: the root line, then every element with its lines. The root is expanded.
  void FillTree(TIETree& tree) const;

private:
  void AddElement(uint8_t id, Bytes body, int32_t offset);
  bool CreateElement(std::unique_ptr<TInformationElement> element, uint8_t id, Bytes body, int32_t offset);
};

}  // namespace skimlet

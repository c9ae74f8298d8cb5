// TInformationElements: the decoded elements of one BSS, in blob order, with the blob they were cut from.
#pragma once

#include <memory>
#include <vector>

#include "core/ie/element.h"
#include "core/ie/extension.h"
#include "core/ie/registry.h"
#include "core/ie/tree.h"
#include "core/ie/vendor.h"
#include "core/ie/walker.h"

namespace skimlet {

// Frees an element made by the container: it lives either in the container's block or on the heap.
struct TElementDeleter {
  bool InBlock = false;
  void operator()(TInformationElement* element) const;
};
using TElementPtr = std::unique_ptr<TInformationElement, TElementDeleter>;

class TInformationElements {
 public:
  TInformationElements() = default;
  // The elements go before the block some of them live in.
  ~TInformationElements() { Items.clear(); }
  TInformationElements(const TInformationElements&) = delete;
  TInformationElements& operator=(const TInformationElements&) = delete;
  TInformationElements(TInformationElements&&) = default;
  TInformationElements& operator=(TInformationElements&&) = default;

  std::vector<TElementPtr> Items;  // blob order
  TByteDynamicArray Data;          // the blob of the last Parse; every tree line's Offset refers to it
  TElementTail Tail;               // what the last Parse left over after the last whole element

  // Throws the old elements away, keeps a copy of Blob and cuts it into elements (WalkElements). A last
  // element whose body does not fit is dropped and a lone trailing byte ignored, both kept in Tail;
  // zero-length elements are skipped.
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
  // One block of memory for the element objects, reused by every Parse: a refresh re-parses every network,
  // and one heap allocation per element would cost more than decoding it. The block grows to what the last
  // Parse needed; elements that do not fit go to the heap meanwhile.
  class Block {
   public:
    void* Allocate(size_t size, size_t align, bool& inBlock);
    // Call with no element left in the block.
    void Reset();

   private:
    std::unique_ptr<std::byte[]> memory_;
    size_t capacity_ = 0, used_ = 0, wanted_ = 0;
  };

  template <class Base>
  Base* Make(const ElementClass<Base>& cls, TElementDeleter& deleter);
  void AddElement(uint8_t id, Bytes body, int32_t offset);
  // Loads Element and appends it when it accepts. False when its decoder broke on the body.
  bool Keep(TElementPtr element, uint8_t id, Bytes body, int32_t offset);

  Block block_;
};

}  // namespace skimlet

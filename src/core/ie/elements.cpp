#include "core/ie/elements.h"

#include "core/base/format.h"
#include "core/base/translate.h"
#include "core/ie/registry.h"

namespace skimlet {

void TElementDeleter::operator()(TInformationElement* element) const {
  element->~TInformationElement();
  if (!InBlock) ::operator delete(element);
}

void* TInformationElements::Block::Allocate(size_t size, size_t align, bool& inBlock) {
  size_t start = (used_ + align - 1) / align * align;
  wanted_ = (wanted_ + align - 1) / align * align + size;
  if (start + size <= capacity_) {
    used_ = start + size;
    inBlock = true;
    return memory_.get() + start;
  }
  inBlock = false;
  return ::operator new(size);
}

void TInformationElements::Block::Reset() {
  if (wanted_ > capacity_) {
    // __STDCPP_DEFAULT_NEW_ALIGNMENT__ covers every element class.
    memory_ = std::make_unique_for_overwrite<std::byte[]>(wanted_);
    capacity_ = wanted_;
  }
  used_ = wanted_ = 0;
}

bool TInformationElements::Parse(Bytes blob) {
  Items.clear();
  block_.Reset();
  Data.assign(blob.begin(), blob.end());
  Tail = WalkElements(Data, [this](uint8_t id, Bytes body, size_t offset) {
    if (!body.empty()) AddElement(id, body, static_cast<int32_t>(offset));
  });
  return true;
}

template <class Base>
Base* TInformationElements::Make(const ElementClass<Base>& cls, TElementDeleter& deleter) {
  void* memory = block_.Allocate(cls.Size, cls.Align, deleter.InBlock);
  return cls.Construct(memory);
}

bool TInformationElements::Keep(TElementPtr element, uint8_t id, Bytes body, int32_t offset) {
  bool accepted = false;
  try {
    accepted = element->Load(id, body, offset);
  } catch (const std::exception&) {
    // A decoder that runs out of body bytes while parsing has not understood the element: the caller shows it
    // as a plain element instead.
    return false;
  }
  if (accepted) Items.push_back(std::move(element));
  return true;
}

void TInformationElements::AddElement(uint8_t id, Bytes body, int32_t offset) {
  auto plain = [&] {
    TElementDeleter d;
    TInformationElement* e = Make(PlainElementClass(), d);
    Keep(TElementPtr(e, d), id, body, offset);
  };
  if (id == 221 || id == 255) {
    TElementDeleter d;
    TInformationElement* raw;
    if (id == 221) {
      if (body.size() < 4) return plain();
      auto* v = Make(VendorClassOf(ReadUInt24BE(body, 0), body[3]), d);
      v->OUI = ReadUInt24BE(body, 0);
      v->Subtype = body[3];
      raw = v;
    } else {
      auto* x = Make(ExtensionClassOf(body[0]), d);
      x->ExtensionID = body[0];
      raw = x;
    }
    // A vendor or extension element is never lost: rejected by its class, it is shown as a plain element.
    if (!Keep(TElementPtr(raw, d), id, body, offset) || Items.empty() || Items.back().get() != raw) plain();
    return;
  }
  // An element of a class of its own that rejects its body is dropped; one whose decoder breaks on it is
  // shown as a plain element.
  TElementDeleter d;
  TInformationElement* e = Make(ElementClassOf(id), d);
  if (!Keep(TElementPtr(e, d), id, body, offset)) plain();
}

const TInformationElement* TInformationElements::GetItem(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return Items[static_cast<size_t>(index)].get();
}

const TInformationElement* TInformationElements::FindElement(uint8_t id) const {
  for (const auto& e : Items)
    if (e->ID == id) return e.get();
  return nullptr;
}

const TVendorSpecificInformationElement* TInformationElements::FindVendorElement(uint32_t oui, uint8_t subtype) const {
  for (const auto& e : Items) {
    if (e->ID != 221) continue;
    auto* v = e->AsVendor();
    if (v && v->OUI == oui && v->Subtype == subtype) return v;
  }
  return nullptr;
}

const TExtensionsInformationElement* TInformationElements::FindExtensionElement(uint8_t extensionID) const {
  for (const auto& e : Items) {
    if (e->ID != 255) continue;
    auto* x = e->AsExtension();
    if (x && x->ExtensionID == extensionID) return x;
  }
  return nullptr;
}

void TInformationElements::FillTree(TIETree& tree) const {
  tree.Clear();
  try {
    TIETreeLine root =
        tree.Add(kNoLine, {Format(Translate("Information Elements: %d (%d bytes)"), {Count(), Data.size()}), 0, 0});
    for (const auto& e : Items) e->AddToTree(tree, root);
    tree.SetExpanded(root, true);
  } catch (const std::exception&) {
    // Whatever was added stays; the tree never reports a failure.
  }
}

}  // namespace skimlet

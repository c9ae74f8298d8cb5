// TInformationElement: one decoded element of a BSS's element blob, and the base of every element class.
//
// Parse decodes the body into the class's fields; AddToTree describes every field as tree lines tied to
// the blob bytes. Lines always carry blob offsets: body byte k of an element lies at Offset+2+k.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "core/ie/length_rule.h"
#include "core/ie/tree.h"
#include "core/ie/util.h"

namespace skimlet {

class TInformationElement {
 public:
  TInformationElement() = default;
  TInformationElement(const TInformationElement&) = delete;
  TInformationElement& operator=(const TInformationElement&) = delete;
  virtual ~TInformationElement() = default;

  uint8_t ID = 0;
  int32_t Offset = 0;  // position of the ID byte in the blob
  int32_t Length = 0;  // number of body bytes
  // The body bytes (without ID and length byte). A view into the blob the container keeps: valid as long as
  // the element, which the container frees before it lets go of the blob.
  Bytes Data;

  // Stores the header fields and the body, then decodes it. False: the class rejects the element.
  bool Load(uint8_t id, Bytes body, int32_t offset);

  // The element name for ID, "Unknown" when there is none.
  std::string GetName() const;

  // Adds the element line with everything below it under Parent (the root line). A failure while adding
  // lines ends this element with the "corrupted" line; the lines added so far stay.
  void AddToTree(TIETree& tree, TIETreeLine parent) const;
  // The "Element ID" and "Length" lines.
  void AddIDAndLengthNodes(TIETree& tree, TIETreeLine element) const;
  // Appends Text to Line's text (nothing when Line is absent).
  static void AppendText(TIETree& tree, TIETreeLine line, std::string_view text);

  virtual bool Parse();
  virtual TIETreeLine AddElementNode(TIETree& tree, TIETreeLine parent) const;
  virtual void AddDetailNodes(TIETree& tree, TIETreeLine element) const;
  virtual void AddHeaderNodes(TIETree& tree, TIETreeLine element) const;
  TIETreeLine AddNode(TIETree& tree, TIETreeLine parent, std::string text, int32_t offset, int32_t length) const;

  // This element as class T (or a class derived from it), or nullptr.
  template <class T>
  const T* As() const {
    if (classTag_ == &ClassTag<T>) return static_cast<const T*>(this);  // the common case, without RTTI
    return dynamic_cast<const T*>(this);
  }

  // The element as a vendor or extension element (of any class of those kinds), or nullptr; cheaper than As.
  virtual const class TVendorSpecificInformationElement* AsVendor() const { return nullptr; }
  virtual const class TExtensionsInformationElement* AsExtension() const { return nullptr; }

  // One address per element class; the container marks each element it makes with the tag of its class.
  template <class T>
  static inline const char ClassTag = 0;
  void SetClassTag(const void* tag) { classTag_ = tag; }

 protected:
  const void* classTag_ = nullptr;

  // A line about Count body bytes from body position Pos.
  TIETreeLine AddBodyNode(TIETree& tree, TIETreeLine parent, std::string text, int32_t pos, int32_t count) const {
    return AddNode(tree, parent, std::move(text), Offset + 2 + pos, count);
  }
  // True when the body length keeps Rule; else false, with the wrong-length line at the length byte.
  bool CheckLength(TIETree& tree, TIETreeLine element, const TLengthRule& rule) const {
    if (rule.Holds(Length)) return true;
    AddNode(tree, element, rule.Message(), Offset + 1, 1);
    return false;
  }
  // Checked access to body bytes; a read past the body throws TElementCorrupted.
  uint8_t Byte(size_t pos) const { return ReadUInt8(Data, pos); }
  Bytes Body(size_t pos) const { return Tail(Data, pos); }
};

using TInformationElementPtr = std::unique_ptr<TInformationElement>;

}  // namespace skimlet

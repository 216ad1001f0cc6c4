// Where each object lives by its handle: the root and figures in a map by whole number, every
// other object in pages by creation number; and an object's general property list.
#include <cmath>
#include <memory>

#include "platform/objects.h"
#include "platform/objects_detail.h"

namespace tav {
namespace {

// Fractional handles are kFractionBase + k for the k-th object made, k = 1, 2, ...
constexpr double kFractionBase = 1000000.5;

bool whole_number(Handle h) { return h == std::floor(h); }

}  // namespace

using objects_detail::handle_text;
using objects_detail::kKindNames;

Objects::Object* Objects::find(Handle h) {
  return const_cast<Object*>(static_cast<const Objects*>(this)->find(h));
}

const Objects::Object* Objects::find(Handle h) const {
  if (whole_number(h)) {
    auto it = whole_.find(h);
    return it == whole_.end() ? nullptr : &it->second;
  }
  const double k = h - kFractionBase;
  if (!(k >= 1 && k <= next_fraction_) || !whole_number(k)) return nullptr;
  const auto i = static_cast<std::size_t>(k) - 1;
  const std::size_t page = i / kPageSize;
  if (page >= pages_.size() || !pages_[page]) return nullptr;
  const Object& o = pages_[page]->entries[i % kPageSize];
  return o.kind == Kind::none ? nullptr : &o;
}

Objects::Object& Objects::obj(Handle h) {
  Object* o = find(h);
  if (!o) throw Error("Invalid handle " + handle_text(h) + ": no such graphics object");
  return *o;
}

const Objects::Object& Objects::obj(Handle h) const {
  const Object* o = find(h);
  if (!o) throw Error("Invalid handle " + handle_text(h) + ": no such graphics object");
  return *o;
}

bool Objects::valid(Handle h) const { return find(h) != nullptr; }

Objects::Object& Objects::insert(Handle h) {
  if (whole_number(h)) return whole_[h] = Object{};
  const auto i = static_cast<std::size_t>(h - kFractionBase) - 1;
  const std::size_t page = i / kPageSize;
  if (page >= pages_.size()) pages_.resize(page + 1);
  if (!pages_[page]) pages_[page] = std::make_unique<Page>();
  pages_[page]->live += 1;
  return pages_[page]->entries[i % kPageSize] = Object{};
}

void Objects::drop(Handle h) {
  Object* o = find(h);
  if (!o) return;
  if (o->extra)
    for (Handle c : o->extra->children) drop(c);
  if (whole_number(h)) {
    whole_.erase(h);
    return;
  }
  *o = Object{};
  const std::size_t page = (static_cast<std::size_t>(h - kFractionBase) - 1) / kPageSize;
  if (--pages_[page]->live == 0) pages_[page].reset();
}

Objects::Extra& Objects::extra_of(Object& o) {
  if (!o.extra) o.extra = std::make_unique<Extra>();
  return *o.extra;
}

const Value* Objects::stored(const Object& o, Prop p) {
  if (!o.extra) return nullptr;
  for (const auto& [id, v] : o.extra->props)
    if (id == p) return &v;
  return nullptr;
}

const Value& Objects::stored_at(const Object& o, Prop p) {
  const Value* v = stored(o, p);
  if (!v)
    throw Error("a " + std::string(kKindNames[static_cast<int>(o.kind)]) + " has no \"" +
                prop_name(p) + "\"");
  return *v;
}

Value& Objects::store(Object& o, Prop p) {
  auto& props = extra_of(o).props;
  for (auto& [id, v] : props)
    if (id == p) return v;
  return props.emplace_back(p, Value()).second;
}

void Objects::unstore(Object& o, Prop p) {
  if (!o.extra) return;
  auto& props = o.extra->props;
  std::erase_if(props, [p](const auto& e) { return e.first == p; });
}

}  // namespace tav

#pragma once
// Registration of a named function in one line: the conversions of its inputs and results are
// derived from its C++ signature. Parameters of the session's parts (Session&, Objects&,
// Runtime&, Backend&) are handed the running session's; an IterationObserver& gets one that
// nobody listens to. Every other parameter takes the next input(s), converted by from_value:
//   T                  one input, required;
//   std::optional<T>   one input that may be left out;
//   OrEmpty<T>         one input that may be the empty value [];
//   const Value&       one input as given;
//   CurveProtocol      four inputs: numfull, numopen, members and (may be left out) types.
// Too few inputs raise "NAME needs at least N inputs, got M"; an input that does not convert
// raises "NAME, input I (ITS NAME): REASON". Inputs beyond the parameters, which the declared
// count allows, are declared but unused by the function and are not read.
#include <array>
#include <cstddef>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

#include "consensus/consensus.h"
#include "engine/session.h"
#include "shell/convert.h"
#include "shell/function_table.h"

namespace tav {
namespace by_name {

// One call: the session, the inputs, and the names the refusals use.
struct Call {
  Session& session;
  const List& in;
  const std::string& function;
  const std::vector<std::string>& names;  // one per input the function reads
  IterationObserver quiet;                // the observer of a run called by name

  bool given(size_t i) const { return i < in.size(); }
  // Input i converted by `convert`; a refusal names the function and the input.
  template <class Convert>
  auto converted(size_t i, Convert convert) const -> decltype(convert(in[i])) {
    try {
      return convert(in[i]);
    } catch (const Error& e) {
      throw Error(function + ", input " + std::to_string(i + 1) + " (" + names[i] +
                  "): " + e.what());
    }
  }
};

// How a parameter of type T (without reference and const) is served: `slots` inputs, of which
// the first `required` must be given, read by get(call, first input).
template <class T>
struct Param {
  static constexpr size_t slots = 1, required = 1;
  static T from(const Value& v) { return from_value<T>(v); }
  static T get(const Call& c, size_t i) { return c.converted(i, from); }
};

template <class Part>
struct Injected {
  static constexpr size_t slots = 0, required = 0;
};
template <>
struct Param<Session> : Injected<Session> {
  static Session& get(Call& c, size_t) { return c.session; }
};
template <>
struct Param<Objects> : Injected<Objects> {
  static Objects& get(Call& c, size_t) { return c.session.objects(); }
};
template <>
struct Param<Runtime> : Injected<Runtime> {
  static Runtime& get(Call& c, size_t) { return c.session.runtime; }
};
template <>
struct Param<Backend> : Injected<Backend> {
  static Backend& get(Call& c, size_t) { return c.session.ui(); }
};
template <>
struct Param<IterationObserver> : Injected<IterationObserver> {
  static IterationObserver& get(Call& c, size_t) { return c.quiet; }
};

template <>
struct Param<Value> {
  static constexpr size_t slots = 1, required = 1;
  static const Value& from(const Value& v) { return v; }
  static const Value& get(const Call& c, size_t i) { return c.in[i]; }
};

template <class T>
struct Param<std::optional<T>> {
  static constexpr size_t slots = 1, required = 0;
  static std::optional<T> get(const Call& c, size_t i) {
    if (!c.given(i)) return std::nullopt;
    return c.converted(i, Param<T>::from);
  }
};

template <class T>
struct Param<OrEmpty<T>> {
  static constexpr size_t slots = 1, required = 1;
  static OrEmpty<T> from(const Value& v) {
    return v.empty() ? OrEmpty<T>{} : OrEmpty<T>{Param<T>::from(v)};
  }
  static OrEmpty<T> get(const Call& c, size_t i) { return c.converted(i, from); }
};

template <>
struct Param<CurveProtocol> {
  static constexpr size_t slots = 4, required = 3;
  static CurveProtocol get(const Call& c, size_t i) {
    const int numfull = Param<int>::get(c, i), numopen = Param<int>::get(c, i + 1);
    const CurveMembers members = Param<CurveMembers>::get(c, i + 2);
    const std::optional<PointTypes> types = Param<std::optional<PointTypes>>::get(c, i + 3);
    return curve_protocol(numfull, numopen, members, types ? &*types : nullptr);
  }
};

template <class P>
using ParamOf = Param<std::remove_cvref_t<P>>;

// The signature of a function or of a lambda.
template <class R, class... P>
struct Signature {};
template <class F>
struct SignatureOf : SignatureOf<decltype(&F::operator())> {};
template <class R, class... P>
struct SignatureOf<R (*)(P...)> {
  using type = Signature<R, P...>;
};
template <class R, class C, class... P>
struct SignatureOf<R (C::*)(P...) const> {
  using type = Signature<R, P...>;
};

// The first input of each parameter, and one past the last.
template <class... P>
constexpr std::array<size_t, sizeof...(P) + 1> first_inputs() {
  std::array<size_t, sizeof...(P) + 1> at{};
  const size_t slots[] = {ParamOf<P>::slots..., 0};
  for (size_t k = 0; k < sizeof...(P); ++k) at[k + 1] = at[k] + slots[k];
  return at;
}

// How many inputs must be given: up to the last required one.
template <class... P>
constexpr size_t needed_inputs() {
  const auto at = first_inputs<P...>();
  const size_t required[] = {ParamOf<P>::required..., 0};
  size_t n = 0;
  for (size_t k = 0; k < sizeof...(P); ++k)
    if (required[k] > 0) n = at[k] + required[k];
  return n;
}

template <class R, class... P, class F, size_t... K>
List call(F& f, Call& c, std::index_sequence<K...>) {
  constexpr auto at = first_inputs<P...>();
  // Braces convert the inputs in order, first to last.
  std::tuple<decltype(ParamOf<P>::get(c, 0))...> args{ParamOf<P>::get(c, at[K])...};
  if constexpr (std::is_void_v<R>) {
    std::apply(f, std::move(args));
    return {};
  } else {
    return results(std::apply(f, std::move(args)));
  }
}

template <class F, class R, class... P>
Adapter adapter(const std::string& name, std::vector<std::string> names, F f, Signature<R, P...>) {
  constexpr size_t reads = first_inputs<P...>().back(), needed = needed_inputs<P...>();
  if (names.size() != reads)
    throw std::logic_error(name + ": " + std::to_string(reads) + " inputs read, " +
                           std::to_string(names.size()) + " named");
  return [name, names, f](Session& session, const List& in, int) mutable -> List {
    if (in.size() < needed)
      throw Error(name + " needs at least " + std::to_string(needed) + " inputs, got " +
                  std::to_string(in.size()));
    Call c{session, in, name, names, {}};
    return call<R, P...>(f, c, std::index_sequence_for<P...>{});
  };
}

inline std::vector<std::string> words(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string w; in >> w;) out.push_back(w);
  return out;
}

}  // namespace by_name

// The table entry of `f` under `name`, with its declared counts of inputs and results and the
// names of the inputs it reads, separated by blanks.
template <class F>
FunctionEntry named(const std::string& name, int inputs, int outputs, F f,
                    const std::string& input_names = "") {
  const std::vector<std::string> names = by_name::words(input_names);
  if (inputs >= 0 && names.size() > static_cast<size_t>(inputs))
    throw std::logic_error(name + " reads more inputs than it declares");
  return FunctionEntry{
      name,   by_name::adapter(name, names, std::move(f), typename by_name::SignatureOf<F>::type{}),
      inputs, outputs,
      {},     {}};
}

// The table entry of a function that takes the inputs as a list and the number of results
// wanted itself.
inline FunctionEntry named_raw(const std::string& name, int inputs, int outputs, Adapter a) {
  return FunctionEntry{name, std::move(a), inputs, outputs, {}, {}};
}

}  // namespace tav

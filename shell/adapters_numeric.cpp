// Adapters of the geometry, sliding and consensus routines.
#include "consensus/consensus.h"
#include "engine/session.h"
#include "geometry/geometry.h"
#include "shell/adapters.h"
#include "shell/convert.h"
#include "sliding/sliding.h"

namespace tav {
namespace {

List pair_result(const Consensus& c, int nout) {
  if (nout >= 2) return {Value(Matrix(c.y)), Value(c.xpt)};
  return {Value(Matrix(c.y))};
}

CurveProtocol protocol_of(const List& in, const std::string& f) {
  return to_protocol(required(in, 1, f), required(in, 2, f), required(in, 3, f), input(in, 4));
}

bool flag(const Value& v) { return number_if_numeric(v).truthy(); }

}  // namespace

Adapter adapt_basereg() {
  return [](Session&, const List& in, int) {
    return List{
        Value(basereg(to_matrix(required(in, 0, "basereg")), to_index(required(in, 1, "basereg")),
                      to_index(required(in, 2, "basereg"))))};
  };
}
Adapter adapt_getpsup() {
  return [](Session&, const List& in, int) {
    return List{Value(
        getpsup(to_matrix(required(in, 0, "getpsup")), to_matrix(required(in, 1, "getpsup"))))};
  };
}
Adapter adapt_centpos() {
  return [](Session&, const List& in, int) {
    const Eigen::RowVector2d c = centpos(to_row(required(in, 0, "centpos")));
    return List{Value(Row(c))};
  };
}
Adapter adapt_centsize() {
  return [](Session&, const List& in, int) {
    return List{Value(Matrix(centsize(to_matrix(required(in, 0, "centsize")))))};
  };
}
Adapter adapt_getconsensus() {
  return [](Session&, const List& in, int nout) {
    return pair_result(getconsensus(to_matrix(required(in, 0, "getconsensus"))), nout);
  };
}
Adapter adapt_getconsensusdist() {
  return [](Session&, const List& in, int nout) {
    const char* f = "getconsensusdist";
    return pair_result(getconsensusdist(to_matrix(required(in, 0, f)), protocol_of(in, f)), nout);
  };
}
Adapter adapt_getconsensusdistu() {
  return [](Session&, const List& in, int nout) {
    const char* f = "getconsensusdistu";
    return pair_result(getconsensusdistu(to_matrix(required(in, 0, f)), protocol_of(in, f),
                                         to_matrix(required(in, 5, f))),
                       nout);
  };
}
Adapter adapt_getconsensusmix2() {
  return [](Session&, const List& in, int nout) {
    const char* f = "getconsensusmix2";
    return pair_result(getconsensusmix2(to_matrix(required(in, 0, f)), protocol_of(in, f)), nout);
  };
}
Adapter adapt_getconsensusmix5() {
  return [](Session&, const List& in, int nout) {
    const char* f = "getconsensusmix5";
    IterationObserver quiet;
    return pair_result(getconsensusmix5(to_matrix(required(in, 0, f)), protocol_of(in, f), quiet),
                       nout);
  };
}
Adapter adapt_tavreldist() {
  return [](Session&, const List& in, int) {
    const char* f = "tavreldist";
    return List{Value(tavreldist(to_row(required(in, 0, f)), to_row(required(in, 1, f)),
                                 flag(required(in, 2, f))))};
  };
}
Adapter adapt_makeLfinal() {
  return [](Session&, const List& in, int) {
    return List{Value(makeLfinal(to_row(required(in, 0, "makeLfinal"))))};
  };
}
Adapter adapt_tavrel2() {
  return [](Session&, const List& in, int) {
    const char* f = "tavrel2";
    return List{Value(tavrel2(to_row(required(in, 1, f)), flag(required(in, 2, f)),
                              to_matrix(required(in, 3, f))))};
  };
}
Adapter adapt_umaker() {
  return [](Session&, const List& in, int) {
    return List{Value(umaker(to_row(required(in, 0, "umaker")), flag(required(in, 1, "umaker"))))};
  };
}
Adapter adapt_umaker2() {
  return [](Session&, const List& in, int) {
    return List{
        Value(umaker2(to_row(required(in, 0, "umaker2")), flag(required(in, 1, "umaker2"))))};
  };
}
Adapter adapt_umakera() {
  return [](Session&, const List& in, int) {
    return List{
        Value(umakera(to_row(required(in, 0, "umakera")), flag(required(in, 1, "umakera"))))};
  };
}
Adapter adapt_gettspl() {
  return [](Session&, const List& in, int) {
    return List{Value(gettspl(to_matrix(required(in, 0, "gettspl"))))};
  };
}
Adapter adapt_vertxy() {
  return [](Session&, const List& in, int) {
    return List{Value(vertxy(to_row(required(in, 0, "vertxy"))))};
  };
}
Adapter adapt_slope_est() {
  return [](Session&, const List& in, int nout) {
    const Tangent t = slope_est(to_row(required(in, 0, "slope_est")));
    if (nout >= 2) return List{Value(t.x), Value(t.y)};
    return List{Value(t.x)};
  };
}
Adapter adapt_uspline() {
  return [](Session&, const List& in, int) {
    const Row a = to_row(required(in, 0, "uspline")), b = to_row(required(in, 1, "uspline"));
    if (a.size() != 2 || b.size() != 2)
      throw Error("uspline takes two points, each a 1x2 row [x y]");
    return List{Value(uspline(Eigen::RowVector2d(a), Eigen::RowVector2d(b)))};
  };
}

}  // namespace tav

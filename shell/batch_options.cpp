#include <cstdlib>
#include <filesystem>

#include "platform/error.h"
#include "shell/batch.h"

namespace tav {
namespace {

bool same_file(const std::string& a, const std::string& b) {
  namespace fs = std::filesystem;
  std::error_code e1, e2;
  if (fs::equivalent(a, b, e1)) return true;
  const fs::path pa = fs::absolute(a, e1).lexically_normal(), pb = fs::absolute(b, e2).lexically_normal();
  return !e1 && !e2 && pa == pb;
}

}  // namespace

const char* batch_usage() {
  return R"(usage: tavrel6-batch --data FILE [options]

Replays the window's actions on files, without a screen:
  Load of --data, LoadReference of --reference, LoadProtocol of --protocol with the run
  settings below; then every save option writes its file and --plot the drawing.
Without --protocol the plain Procrustes consensus is computed (no sliding) and every point
counts as a landmark.

Input:
  --data FILE                    sample: one specimen per line, x1 y1 ... xk yk and one
                                 trailing value, numbers separated by blanks, tabs or commas;
                                 or a TPS, NTS, Morphologika or MorphoJ text file, told
                                 by its content: the points, then the centroid size
  --reference FILE               user reference in the same layout (one line), or TPS
  --protocol FILE                curve protocol: rows of curve code, unused, point, type;
                                 or a sliders table: rows of before, slider, after
Run settings (as the window's check boxes):
  --distance                     slide semi-landmarks to minimise Procrustes distance
                                 (onto the user reference when --reference is given)
  --iterate                      iterated bending-energy consensus (when not --distance)
  --no-align                     no semi-landmark sliding: plain consensus only
                                 (without --distance and --iterate: one-pass bending energy)
Output (each written whole or not at all):
  --save F                       superimposed sample, all points
  --save-lmslm F                 superimposed sample, landmarks and semi-landmarks
  --save-lm F                    superimposed sample, landmarks only
  --save-reference F             consensus, all points
  --save-reference-lmslm F       consensus, landmarks and semi-landmarks
  --save-reference-lm F          consensus, landmarks only
  --save-tps F                   superimposed sample as a TPS file: LM=k with all points,
                                 ID= as read from a TPS --data file, else the specimen
                                 number; 10 significant digits unless --digits is given
  --save-nts F                    superimposed sample as an NTS matrix: specimens as rows,
                                 IDs as labels (10 significant digits unless --digits)
  --save-morphologika F          superimposed sample as a Morphologika file: IDs as
                                 [names], each specimen's centroid size as the label
                                 CentroidSize (10 significant digits unless --digits)
  --save-morphoj F               superimposed sample as MorphoJ text: a header row, then
                                 the ID and x1 y1 ... split by tabs (10 digits unless
                                 --digits)
  --save-protocol-sliders F      the --protocol as a sliders table: before,slider,after
                                 for every semi-landmark and helper point
  --digits N                     write numbers with N significant digits instead of 6
  --suggest-protocol F           for a TPS --data file: a protocol to edit, written right
                                 after loading: curve 0 lists the landmarks (type 0), every
                                 CURVES block becomes an open curve of semi-landmarks
                                 (type 1). It does not change this run: with --protocol
                                 the run uses that file (which F must not name), without
                                 it the plain consensus
  --plot F                       the final drawing; .eps, .pdf, .svg or .png by the ending
Other:
  --verbose                      show the working values the window's console shows
  --help                         this text
Exit status: 0 when every step succeeded, 1 when a step failed (the reason on standard
error), 2 for bad arguments.
)";
}

BatchOptions parse_batch_options(const std::vector<std::string>& args) {
  BatchOptions o;
  auto value = [&](size_t& i) -> std::string {
    if (i + 1 >= args.size() || args[i + 1].rfind("--", 0) == 0)
      throw Error("option " + args[i] + " needs a value; see tavrel6-batch --help");
    return args[++i];
  };
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--help" || a == "-h") o.help = true;
    else if (a == "--data") o.data = value(i);
    else if (a == "--reference") o.reference = value(i);
    else if (a == "--protocol") o.protocol = value(i);
    else if (a == "--distance") o.distance = true;
    else if (a == "--iterate") o.iterate = true;
    else if (a == "--no-align") o.no_align = true;
    else if (a == "--verbose") o.verbose = true;
    else if (a == "--save") o.save = value(i);
    else if (a == "--save-lmslm") o.save_lmslm = value(i);
    else if (a == "--save-lm") o.save_lm = value(i);
    else if (a == "--save-reference") o.save_reference = value(i);
    else if (a == "--save-reference-lmslm") o.save_reference_lmslm = value(i);
    else if (a == "--save-reference-lm") o.save_reference_lm = value(i);
    else if (a == "--plot") o.plot = value(i);
    else if (a == "--save-tps") o.save_tps = value(i);
    else if (a == "--save-nts") o.save_nts = value(i);
    else if (a == "--save-morphologika") o.save_morphologika = value(i);
    else if (a == "--save-morphoj") o.save_morphoj = value(i);
    else if (a == "--save-protocol-sliders") o.save_protocol_sliders = value(i);
    else if (a == "--suggest-protocol") o.suggest_protocol = value(i);
    else if (a == "--digits") {
      const std::string v = value(i);
      char* end = nullptr;
      const long d = std::strtol(v.c_str(), &end, 10);
      if (*end != 0 || d < 1 || d > 17) throw Error("--digits needs a whole number from 1 to 17, got \"" + v + "\"");
      o.digits = static_cast<int>(d);
    } else {
      throw Error("unknown option \"" + a + "\"; see tavrel6-batch --help");
    }
  }
  if (!o.help && o.data.empty()) throw Error("--data FILE is required; see tavrel6-batch --help");
  if (!o.save_protocol_sliders.empty() && o.protocol.empty())
    throw Error("--save-protocol-sliders needs --protocol: it writes the protocol the run loads");
  if (!o.suggest_protocol.empty() && !o.protocol.empty() && same_file(o.suggest_protocol, o.protocol))
    throw Error("--suggest-protocol " + o.suggest_protocol + " would overwrite the --protocol file the run "
                "reads; name another file for the suggestion");
  return o;
}

}  // namespace tav

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "platform/error.h"
#include "platform/shown_name.h"
#include "shell/batch.h"

namespace tav {
namespace {

bool same_file(const std::string& a, const std::string& b) {
  namespace fs = std::filesystem;
  std::error_code e1, e2;
  if (fs::equivalent(a, b, e1)) return true;
  const fs::path pa = fs::absolute(a, e1).lexically_normal(),
                 pb = fs::absolute(b, e2).lexically_normal();
  return !e1 && !e2 && pa == pb;
}

// "A,B": two different components, each a whole number from 1.
std::pair<int, int> parse_pcs(const std::string& v) {
  const auto refuse = [&] {
    return Error("--pcs needs two different component numbers such as 1,2, got \"" + shown_name(v) +
                 "\"");
  };
  const size_t comma = v.find(',');
  if (comma == std::string::npos) throw refuse();
  const std::string parts[2] = {v.substr(0, comma), v.substr(comma + 1)};
  int pc[2];
  for (int i = 0; i < 2; ++i) {
    char* end = nullptr;
    const long n = std::strtol(parts[i].c_str(), &end, 10);
    if (parts[i].empty() || *end != 0 || n < 1 || n > 10000) throw refuse();
    pc[i] = static_cast<int>(n);
  }
  if (pc[0] == pc[1]) throw refuse();
  return {pc[0], pc[1]};
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
                                 trailing value, numbers separated by blanks, tabs or commas
                                 (a first line of column names x1,y1,...,xk,yk,t skipped);
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
  --save-scores F                the shape space, a row per specimen (CSV): id,
                                 centroid_size (as read), procrustes_distance (to the
                                 consensus), outlier (1 above the upper quartile plus 1.5
                                 interquartile ranges, else 0), PC1 ... PCm (scores)
  --save-pca F                   the principal components of the shape variables (CSV):
                                 component, eigenvalue, percent, cumulative_percent, the
                                 loadings x1,y1,...,xk,yk
  --save-slides F                how far each point slid (CSV): point, curve, kind,
                                 mean_slide, largest_slide, specimen (its id), flag (1 when
                                 it slid past half the gap to its neighbour); the three
                                 tables have 10 significant digits unless --digits is given
                                 (see docs/shape-space.md)
  --plot-shape-space F           the shape space as a picture (.eps, .pdf, .svg or .png):
                                 the scores on the components of --pcs, outliers in red,
                                 beside the deformation grids of the shapes 2 standard
                                 deviations either side of the mean along the first
  --pcs A,B                      the components of --plot-shape-space (default 1,2)
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
  --quiet                        no status line per step (warnings and errors still shown)
  --help                         this text
Every output must differ from every input and from every other output.
Exit status: 0 when every step succeeded, 1 when a step failed (the reason on standard
error), 2 for bad arguments, 3 when the iterated run (--iterate) did not reach its tolerance:
it stopped at its pass limit, or where its change stopped shrinking (keeping the pass with the
smallest change); its results are written all the same.
)";
}

namespace {

// The options that name a file, with where each is stored; inputs first.
std::vector<std::pair<const char*, std::string BatchOptions::*>> file_options() {
  return {{"--data", &BatchOptions::data},
          {"--reference", &BatchOptions::reference},
          {"--protocol", &BatchOptions::protocol},
          {"--save", &BatchOptions::save},
          {"--save-lmslm", &BatchOptions::save_lmslm},
          {"--save-lm", &BatchOptions::save_lm},
          {"--save-reference", &BatchOptions::save_reference},
          {"--save-reference-lmslm", &BatchOptions::save_reference_lmslm},
          {"--save-reference-lm", &BatchOptions::save_reference_lm},
          {"--plot", &BatchOptions::plot},
          {"--save-tps", &BatchOptions::save_tps},
          {"--save-nts", &BatchOptions::save_nts},
          {"--save-morphologika", &BatchOptions::save_morphologika},
          {"--save-morphoj", &BatchOptions::save_morphoj},
          {"--save-protocol-sliders", &BatchOptions::save_protocol_sliders},
          {"--suggest-protocol", &BatchOptions::suggest_protocol},
          {"--save-scores", &BatchOptions::save_scores},
          {"--save-pca", &BatchOptions::save_pca},
          {"--save-slides", &BatchOptions::save_slides},
          {"--plot-shape-space", &BatchOptions::plot_shape_space}};
}
constexpr size_t kInputs = 3;

// Refuses, before any work, an output naming an input or another output.
void check_outputs(const BatchOptions& o) {
  const auto files = file_options();
  for (size_t i = kInputs; i < files.size(); ++i) {
    const std::string& out = o.*files[i].second;
    if (out.empty()) continue;
    for (size_t j = 0; j < i; ++j) {
      const std::string& other = o.*files[j].second;
      if (other.empty() || !same_file(out, other)) continue;
      if (j < kInputs)
        throw Error(std::string(files[i].first) + " " + shown_name(out) + " would overwrite the " +
                    files[j].first +
                    " file the run reads; nothing was run. Name another file for " +
                    files[i].first);
      throw Error(std::string(files[i].first) + " " + shown_name(out) + " would overwrite the " +
                  files[j].first +
                  " file written by the same run; nothing was run. Give each output its own file");
    }
  }
}

void warn_conflicts(BatchOptions& o) {
  if (o.no_align && (o.distance || o.iterate))
    o.warnings.push_back(std::string("--no-align wins over ") +
                         (o.distance ? "--distance" : "--iterate") +
                         ": no semi-landmark slides, the plain consensus runs");
  else if (o.distance && o.iterate)
    o.warnings.push_back(
        "--distance wins over --iterate: the semi-landmarks slide by Procrustes distance");
  if (!o.reference.empty() && (!o.distance || o.no_align))
    o.warnings.push_back(
        "--reference is used only by a --distance run (without --no-align), which slides "
        "onto it; this run loads and draws it but computes its own consensus");
}

}  // namespace

BatchOptions parse_batch_options(const std::vector<std::string>& args) {
  BatchOptions o;
  auto value = [&](size_t& i) -> std::string {
    if (i + 1 >= args.size() || args[i + 1].rfind("--", 0) == 0)
      throw Error("option " + shown_name(args[i]) + " needs a value; see tavrel6-batch --help");
    return args[++i];
  };
  std::vector<std::string> seen;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a.rfind("--", 0) == 0 && std::find(seen.begin(), seen.end(), a) != seen.end())
      throw Error("option " + shown_name(a) +
                  " is given twice; give it once (for two outputs use two options)");
    seen.push_back(a);
    bool named_file = false;
    for (const auto& [name, member] : file_options())
      if (a == name) {
        o.*member = value(i);
        named_file = true;
        // An unset shell variable gives "": taken as no file, the run would do something else.
        if ((o.*member).empty())
          throw Error("option " + a +
                      " was given an empty file name (is a shell variable unset?); name a file, "
                      "or leave the option out; nothing was read or written");
      }
    if (named_file) continue;
    if (a == "--help" || a == "-h")
      o.help = true;
    else if (a == "--distance")
      o.distance = true;
    else if (a == "--iterate")
      o.iterate = true;
    else if (a == "--no-align")
      o.no_align = true;
    else if (a == "--verbose")
      o.verbose = true;
    else if (a == "--quiet")
      o.quiet = true;
    else if (a == "--digits") {
      const std::string v = value(i);
      char* end = nullptr;
      const long d = std::strtol(v.c_str(), &end, 10);
      if (*end != 0 || d < 1 || d > 17)
        throw Error("--digits needs a whole number from 1 to 17, got \"" + shown_name(v) + "\"");
      o.digits = static_cast<int>(d);
    } else if (a == "--pcs") {
      o.pcs = parse_pcs(value(i));
    } else {
      throw Error("unknown option \"" + shown_name(a) + "\"; see tavrel6-batch --help");
    }
  }
  if (o.help) return o;
  if (o.data.empty()) throw Error("--data FILE is required; see tavrel6-batch --help");
  if (!o.save_protocol_sliders.empty() && o.protocol.empty())
    throw Error("--save-protocol-sliders needs --protocol: it writes the protocol the run loads");
  check_outputs(o);
  warn_conflicts(o);
  return o;
}

}  // namespace tav

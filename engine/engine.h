#pragma once
// The engine's functions on a session: what the window's actions and the batch tool both call.
// Each changes the session only when it succeeds; a refusal raises Error with the whole text
// the user reads (the file, the line, what was found, and that nothing was loaded or written),
// and leaves the session as it was. What the user is told besides, although the step was done,
// comes back as notes, in order.
#include <optional>
#include <string>
#include <vector>

#include "engine/run_observer.h"
#include "engine/run_report.h"
#include "engine/sample.h"
#include "platform/objects.h"
#include "shape_space/shape_space.h"

namespace tav {

struct Session;
using Notes = std::vector<std::string>;

// The sample of a file (numeric rows, TPS, NTS, Morphologika or MorphoJ text, told by its
// content), with its plain consensus; a protocol for another point count is forgotten (a note
// says so). From the file at `path`, or from `text` named `name`.
Notes load_sample(Session& session, const std::string& path);
Notes load_sample_text(Session& session, const std::string& name, const std::string& text);

// A user reference: one configuration of the loaded sample's points, to slide onto.
Notes load_reference(Session& session, const std::string& path);
Notes load_reference_text(Session& session, const std::string& name, const std::string& text);

// A curve protocol (rows of curve code, unused, point, kind) or a sliders table for the loaded
// sample; the points' kinds and curves are replaced, the results are not (run() makes them).
Notes load_protocol(Session& session, const std::string& path);
Notes load_protocol_text(Session& session, const std::string& name, const std::string& text);

// The consensus of the loaded sample in the given mode with the loaded protocol (without one,
// the plain consensus, every point a landmark). The listener hears every pass and message of
// the run; its stop_wanted() ends an iterated run after the current pass, the results from
// before the run kept. A run whose data give no finite result raises Error.
RunReport run(Session& session, const RunOptions& options, RunObserver& listener);

// What can be saved: the processed sample or the consensus (or user reference), with every
// point, landmarks and semi-landmarks, or landmarks only; the sample in another program's
// format; the protocol as a sliders table.
enum class Result {
  sample,
  sample_landmarks_semilandmarks,
  sample_landmarks,
  reference,
  reference_landmarks_semilandmarks,
  reference_landmarks,
  sample_tps,
  sample_nts,
  sample_morphologika,
  sample_morphoj,
  protocol_sliders,
};
// Writes the result whole (or nothing) to `path`. Numbers have the session's digits; the
// other programs' formats 10 significant digits unless `digits` is given. Refuses a result that
// is not there. Notes: what a sliders table cannot say of the protocol.
Notes save_result(Session& session, Result result, const std::string& path, int digits = 0);
// Why the result cannot be saved (it is not there), or nothing when it can.
std::optional<std::string> missing_result(const Session& session, Result result);

// For a TPS sample: a protocol to edit (curve 0 the landmarks, every CURVES block an open curve
// of semi-landmarks), as the text of its rows.
std::string suggested_protocol(const Session& session);

// The shape space of the session's results (shape_space/shape_space.h): after a run, of the
// sample it superimposed on its consensus, with how far each point slid (nothing for a plain
// run); after a Load alone, of the plain consensus Load computed, nothing slid. Centroid sizes
// are the sample's as read. Raises Error when no sample is loaded.
ShapeSpace shape_space(const Session& session);

// Writes the shape space as a picture to `path` (EPS, PDF, SVG or PNG by its ending): the scores
// on components a (across) and b (up), outliers in red, beside the deformation grids from the
// consensus to the shapes `sds` standard deviations either side of the mean along component a,
// with the protocol's curves drawn through the warped points.
void export_shape_space(Session& session, const std::string& path, Index a, Index b,
                        double sds = 2);
// Draws the shape space `s` of the session as export_shape_space pictures it into `figure`, sized
// for its three panels; a and b must name components of `s`.
void draw_shape_space(Session& session, const ShapeSpace& s, Handle figure, Index a, Index b,
                      double sds = 2);
// Widens the figure of draw_shape_space by a fourth panel: above, the variance of every
// component; below, how far each point slid (mean and largest, flagged points marked).
void draw_slides_and_variance(Session& session, const ShapeSpace& s, Handle figure);

// Writes the drawing to `path` (EPS, PDF, SVG or PNG by its ending): the current figure as the
// window shows it, or without a window the session's results drawn as the window draws them.
void export_drawing(Session& session, const std::string& path);

}  // namespace tav

#pragma once
// The named functions whose inputs do not map one to one onto a typed routine's parameters:
// each is registered like the others (shell/by_name.h), through the small typed shim here.
#include <optional>
#include <string>

#include "display/display.h"
#include "platform/backend.h"
#include "platform/value.h"
#include "shell/convert.h"

namespace tav {

struct Session;
// A value that is not a text names no action: it falls through like an unknown text.
void run_action_by_name(Session& session, const Value& action);
// The style and the policy may be left out: the routine's own default then.
int draw_configurations_by_name(Objects& g, const Matrix& x,
                                const std::optional<std::string>& xform);
Handle openfig_by_name(Runtime& rt, const std::string& filename,
                       const std::optional<std::string>& policy);
// The file is read as read_data_file reads it; -1 when it cannot be opened.
Value read_data_file_by_name(const std::string& fname);
// The dialog's file is read by read_data_file.
// None when the dialog is cancelled.
std::optional<ChosenDataFile> choose_data_file_by_name(Backend& ui);
// The first input (the reference) is declared but not used.
Row damped_bending_step_by_name(const Value& reference, const Row& target, bool closedend,
                                const Matrix& Lfinal);
// No input: the list of keywords; a value that is not a text is no keyword (0, not an error).
Value iskeyword_by_name(const std::optional<Value>& s);
// Anything but a single valid handle is refused with the window text.
Value guihandles_by_name(Objects& g, const std::optional<Value>& h);
// The members and types come before the curve codes; each flag may be left out or given empty:
// an empty xlines or ccode is off, an empty omithelpers leaves the helpers out (as a left-out
// one marks them).
int draw_protocol_by_name(Objects& g, const Matrix& x, const CurveMembers& members,
                          const PointTypes& types, int numfull, int numopen,
                          const std::optional<OrEmpty<bool>>& xlines,
                          const std::optional<OrEmpty<bool>>& omithelpers,
                          const std::optional<OrEmpty<ColourCode>>& ccode);

// Taking the inputs as a list: guidata reads or stores by the count of inputs and refuses a
// result for a store; movegui takes its inputs in any order.
List guidata_by_name(Session& session, const List& in, int nout);
List movegui_by_name(Session& session, const List& in, int nout);

}  // namespace tav

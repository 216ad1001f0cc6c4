#pragma once
// The thin adapters of the named functions: they convert the inputs, call the typed function
// and wrap its results.
#include "shell/function_table.h"

namespace tav {

Adapter adapt_zidudezu();
Adapter adapt_CopyBigImage();
Adapter adapt_CopyImageEPS();
Adapter adapt_incrementsymbolsize();
Adapter adapt_setsymbolfill();
Adapter adapt_showlegend();
Adapter adapt_guidata();
Adapter adapt_guihandles();
Adapter adapt_openfig();
Adapter adapt_basereg();
Adapter adapt_cla();
Adapter adapt_getconsensus();
Adapter adapt_getconsensusdist();
Adapter adapt_getconsensusdistu();
Adapter adapt_getconsensusmix2();
Adapter adapt_getconsensusmix5();
Adapter adapt_getpsup();
Adapter adapt_mfload();
Adapter adapt_showsemiproto2();
Adapter adapt_showshape();
Adapter adapt_showshape_tangent();
Adapter adapt_isvarname();
Adapter adapt_movegui();
Adapter adapt_centpos();
Adapter adapt_centsize();
Adapter adapt_tavreldist();
Adapter adapt_makeLfinal();
Adapter adapt_tavrel2();
Adapter adapt_dload();
Adapter adapt_umaker();
Adapter adapt_iskeyword();
Adapter adapt_umakera();
Adapter adapt_gettspl();
Adapter adapt_vertxy();
Adapter adapt_umaker2();
Adapter adapt_slope_est();
Adapter adapt_uspline();
Adapter adapt_parent_figure();
Adapter adapt_create_handles();

}  // namespace tav

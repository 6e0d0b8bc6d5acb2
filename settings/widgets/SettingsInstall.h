#pragma once

class CDrelApp;

// Plugs the map and layer settings dialogs into the program; called from
// main() (and drel-screenshot) after InstallMainFrameBars() and before
// InitInstance, before the installers of the later folders. It installs
// the layer property sheet behind CLayer::EditProperties (the elevation
// layer's own sheet, settings/widgets/DtmLayerSheet.h, behind
// CDtmLayer::EditProperties) and the legend's layer-properties command
// (30066), which first makes the map's scale the base scale of labels and
// symbols.
//
// How the rest plugs in:
// - Pages of the layer sheet come from LayerSheetHooks()
//   (settings/widgets/LayerPropSheet.h): a page factory returns a
//   CLayerSheetPage over the sheet's working copy, which the sheet then
//   shows where its place is. The symbol and labels pages (152, 153) are
//   set here; the track filter page (227) by the GPS installer. The
//   symbol page opens the point symbol sheet, the sign list (159) and the
//   thematic dialog (137, settings/widgets/ThemeDialogs.h) through
//   SymbolPageHooks() (settings/widgets/LayerSymbolPage.h), all set here;
//   the sign list is also the shell's SymbolListDialog().
// - The dialogs that edit classes and styles for other folders
//   (IClassEditDialogs, layers/ClassEditDialogs.h) are one
//   CSettingsClassEditDialogs (settings/widgets/SettingsClassEditDialogs.h),
//   set here: the class value dialogs (139, 162), the point symbol sheet
//   and the line and area style dialogs (157, 158).
// - Dialogs the sheet opens are the hooks' functions too: the table
//   structure (160) and the filter condition (319) set by the search
//   installer, the layer's file list (261) here by the layer management
//   dialogs. A dialog not set leaves its button disabled.
// - Other settings dialogs (the map property sheet, page setup, export,
//   layer management, new map units, map chooser) set their own hooks
//   (CMapFrame::Hooks(), the application's Set... functions) from this
//   function, one line each, leaving what they do not answer as it was.
void InstallSettingsDialogs(CDrelApp& app);

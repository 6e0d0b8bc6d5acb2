#pragma once

#include <string>
#include <unordered_map>

class CDrelDoc;
class CLayer;

// The street data of a city map for the navigation program of a handheld
// companion: routable street lines, street labels with street numbers,
// the addresses tied to those numbers, and copies of background and
// point-of-interest layers found by name, all GDB files of one folder.
// Each file is written beside its name and replaces an old one only when
// it is complete.

// A street code ("KODAS", "G_KODAS") to the number of its street label.
using CStreetIdMap = std::unordered_map<long long, int>;

// A street number as the files store it: "06" and six hexadecimal digits.
std::string StreetIdText(int number);

// "gat_topo.gdb": the lines of a single-file line layer, less those of
// "TIPAS" 7, 8, 9, 101 and -99 and those marked "PG_NOTOPO" (its filter
// replaced meanwhile), made a network with tolerance 2.0 in a temporary
// layer; each link thinned (tolerance 1.0) and densified to 150 map units
// for a map whose path holds "Vilnius", else densified to 100, written with
// "NAME" (the street name, "Be pavadinimo" when it has none) and
// "DIRECTION" 3 - "KRYPTIS" (a blank one counting 0). A "KRYPTIS" that
// gives no digit, or a layer without it, leaves the field blank; the closing message counts the points removed and added
// and those blanks. True when the file was written.
bool ExportStreetLines(CDrelDoc& document, CLayer* streets, const std::string& path);

// "gatves.gdb": the streets of a code ("KODAS" > 0, the filter replaced
// meanwhile) copied aside, lines of one code that continue each other
// joined, and each joined line with a piece named ("PG_NONAME" 0 or no
// such field) written as a label: "LABEL" and "NAME" its name,
// "TOWN" the text in the first parentheses of "ID", "ID" the next street
// number, which the map takes for the code. True when written.
bool ExportStreetLabels(CLayer* streets, const std::string& path, CStreetIdMap& streetIds);

// "adresai.gdb": each address point of a street in the map ("G_KODAS")
// with "NAME" ("UZRASAS"), "NOMER" ("NR", at most 3 characters, and
// "RAIDE", at most 1), "IDULITSY" (the street number) and, where "NR2" is
// not 0, "DROB" ("NR2" and "RAIDE2"); a point of a second street in the
// map ("G_KODAS2") again for it, the numbers exchanged. A layer without
// "UZRASAS", "G_KODAS" or "NR" shows "Error: " and the path. True when
// written.
bool ExportAddresses(CLayer* addresses, const std::string& path, const CStreetIdMap& streetIds);

// The folder the batch writes into: the profile's [MobileExport] "Folder",
// else "temp/" in the per-user folder.
std::string MobileExportFolder();

// The batch into that folder: labels and addresses, street lines, the
// plain copies, the points of interest clipped by "Rėmelis", the main
// streets of "Gatvės" (its own filter kept), and the quarter layers,
// copied for a map whose path holds "Kaunas", else clipped by "Kvartalų
// ribos". A step that fails tells and the batch goes on.
void PrepareMobileData(CDrelDoc& document);

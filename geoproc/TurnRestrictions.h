#pragma once

#include <string>

class CDrelDoc;
class CLayer;

// The restriction list of a link ("TURN_RSTRS"): tokens joined by ";",
// each "F" or "L" and the LINK_ID of a link that may not be turned into at
// the link's first (Fnode) or last (Tnode) node.

// The token kind of a turn from a link of nodes fromF -> fromT into one of
// nodes toF -> toT: 'F' at a shared from-node, 'L' at a shared to-node; a
// pair sharing both nodes turns at the end nearer the sketch's start
// ('F' when that is the from-link's first vertex). 0 when they share none.
char TurnTokenKind(long fromF, long fromT, long toF, long toT, bool startNearFirst);

// The list with the token appended.
std::string AppendTurnToken(const std::string& list, char kind, long linkId);

// "Pridėti posūkių apribojimus" on a link layer: for each line of a sketch
// layer chosen in dialog 30799, from the link under its start to the link
// under its end, the token of the turn is appended to the from-link's list,
// written straight into its table. First, in order: a line layer (else
// 1061), whose attributes may be edited (else 1035), whose data open
// (else silence), with the fields "LINK_ID", "TURN_RSTRS" and both node
// fields (else "Nėra lauko LINK_ID.", "Nėra lauko TURN_RSTRS.", 1079);
// then the sketch layer and "Ištrinti ankstesnius posūkių ribojimus?":
// Yes empties the lists of the links loaded, No keeps them, Cancel ends.
// A sketch end near no link, links without a common node, a list that
// would outgrow its field and a failed write are errors that skip that
// line; the end tells "Yra klaidų.", else "Posūkių ribojimai pridėti
// sėkmingai." when tokens were added, else "Posūkių ribojimų nebuvo
// pridėta.". 1 when the sketch layer was gone through; 0 otherwise.
int AddTurnRestrictions(CLayer& layer, CDrelDoc& document);

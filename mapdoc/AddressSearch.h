#pragma once

class CDrelView;

// Find address from the address toolbar (command 30331, Enter in the street
// or house-number box): the street typed or chosen in the street box of
// the view's map, the house in the house-number box. The house is shown
// when it is found (the nearest one after asking), else, after asking, the
// street with its house numbers. True when something was shown.
bool FindToolbarAddress(CDrelView& view);

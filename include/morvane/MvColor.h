// The plain colour record: three double channels, no range enforced.
#ifndef MORVANE_MVCOLOR_H
#define MORVANE_MVCOLOR_H

struct MvColor {
    double red = 0.0;
    double green = 0.0;
    double blue = 0.0;
};

#endif

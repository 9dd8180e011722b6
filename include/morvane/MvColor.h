// The plain colour record: three double channels, no range enforced.
#ifndef MORVANE_MVCOLOR_H
#define MORVANE_MVCOLOR_H

struct MvColor {
    double red = 0.0;
    double green = 0.0;
    double blue = 0.0;

    // The mean of the channels, taken as their sum times one third so that
    // every user of the record gets the same bits.
    double intensity() const { return (blue + green + red) * 0.3333333333333333; }
};

#endif

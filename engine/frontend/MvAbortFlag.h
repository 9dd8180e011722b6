// The process-wide abort flag, read without raising (for sleeps that end
// early when the host gives up).
#ifndef MORVANE_ENGINE_MVABORTFLAG_H
#define MORVANE_ENGINE_MVABORTFLAG_H

bool MvAbortRequested();

#endif

// What hosts and plug-ins share: value kinds, values and their reference
// counting, the error family, the flat functions of every value kind and
// the process calls.
#ifndef MORVANE_MVSHARED_H
#define MORVANE_MVSHARED_H

#include "Mv2DValue.h"
#include "MvArithmetic.h"
#include "MvAutoObject.h"
#include "MvColor.h"
#include "MvColorApi.h"
#include "MvDateTime.h"
#include "MvDateTimeApi.h"
#include "MvException.h"
#include "MvExport.h"
#include "MvListApi.h"
#include "MvImageApi.h"
#include "MvMutexLock.h"
#include "MvProcess.h"
#include "MvProperties.h"
#include "MvScalarApi.h"
#include "MvStreams.h"
#include "MvType.h"
#include "MvValue.h"
#include "MvValueFile.h"
#include "MvVectorApi.h"

#endif

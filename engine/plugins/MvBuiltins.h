// The native functions of the built-in namespaces.
#ifndef MORVANE_ENGINE_MVBUILTINS_H
#define MORVANE_ENGINE_MVBUILTINS_H

#include "morvane/MvPluginApi.h"

namespace MvBuiltins {

// Function: the registry's listings.
MvValue* getNameSpaces(MvPluginErrorBlock*, MvParameterBlock*);
MvValue* getFunctions(MvPluginErrorBlock*, MvParameterBlock*);
MvValue* getFunctionsIn(MvPluginErrorBlock*, MvParameterBlock*);
MvValue* getSignatures(MvPluginErrorBlock*, MvParameterBlock*);
MvValue* getSignaturesInternal(MvPluginErrorBlock*, MvParameterBlock*);
MvValue* getSignaturesIn(MvPluginErrorBlock*, MvParameterBlock*);
MvValue* getSignaturesOf(MvPluginErrorBlock*, MvParameterBlock*);

// Math on numbers and vectors, and the vector form of Find.Correlate.
MvValue* sumVector(MvPluginErrorBlock*, MvParameterBlock*);
MvValue* average(MvPluginErrorBlock*, MvParameterBlock*);
MvValue* standardDeviation(MvPluginErrorBlock*, MvParameterBlock*);
MvValue* minimumOfVector(MvPluginErrorBlock*, MvParameterBlock*);
MvValue* maximumOfVector(MvPluginErrorBlock*, MvParameterBlock*);
MvValue* minimum(MvPluginErrorBlock*, MvParameterBlock*);
MvValue* maximum(MvPluginErrorBlock*, MvParameterBlock*);
MvValue* differenceOfVectors(MvPluginErrorBlock*, MvParameterBlock*);
MvValue* random(MvPluginErrorBlock*, MvParameterBlock*);
MvValue* randomSeed(MvPluginErrorBlock*, MvParameterBlock*);
MvValue* correlateVector(MvPluginErrorBlock*, MvParameterBlock*);
MvValue* mandelbrotPoint(MvPluginErrorBlock*, MvParameterBlock*);

// File and TestHarness (both work relative to the current directory).
MvValue* directoryList(MvPluginErrorBlock*, MvParameterBlock*);
MvValue* fileSize(MvPluginErrorBlock*, MvParameterBlock*);
MvValue* createDirectory(MvPluginErrorBlock*, MvParameterBlock*);
MvValue* copyFile(MvPluginErrorBlock*, MvParameterBlock*);
MvValue* deleteFile(MvPluginErrorBlock*, MvParameterBlock*);
MvValue* testClear(MvPluginErrorBlock*, MvParameterBlock*);
MvValue* testBegin(MvPluginErrorBlock*, MvParameterBlock*);
MvValue* testEnd(MvPluginErrorBlock*, MvParameterBlock*);
MvValue* testRequire(MvPluginErrorBlock*, MvParameterBlock*);
MvValue* testLogging(MvPluginErrorBlock*, MvParameterBlock*);
MvValue* testLogNames(MvPluginErrorBlock*, MvParameterBlock*);
MvValue* testIsDebug(MvPluginErrorBlock*, MvParameterBlock*);

// System and Client.
MvValue* processor(MvPluginErrorBlock*, MvParameterBlock*);
MvValue* morvaneVersion(MvPluginErrorBlock*, MvParameterBlock*);
MvValue* operatingSystem(MvPluginErrorBlock*, MvParameterBlock*);
MvValue* setWindowPosition(MvPluginErrorBlock*, MvParameterBlock*);

// Grabbing from a camera, whose value kind is not part of this build: it
// fails through its error block.
MvValue* frameGrab(MvPluginErrorBlock*, MvParameterBlock*);

// Images (MvBuiltinImages.cpp, MvBuiltinFind.cpp, MvBuiltinFractals.cpp).
MvValue* frameDeInterlaceOdd(MvPluginErrorBlock*, MvParameterBlock*);
MvValue* frameDeInterlaceEven(MvPluginErrorBlock*, MvParameterBlock*);
MvValue* frameInterlace(MvPluginErrorBlock*, MvParameterBlock*);
MvValue* frameGetAlpha(MvPluginErrorBlock*, MvParameterBlock*);
MvValue* frameSetAlpha(MvPluginErrorBlock*, MvParameterBlock*);
MvValue* sumImage(MvPluginErrorBlock*, MvParameterBlock*);
MvValue* differenceOfImages(MvPluginErrorBlock*, MvParameterBlock*);
MvValue* minimumOfImage(MvPluginErrorBlock*, MvParameterBlock*);
MvValue* maximumOfImage(MvPluginErrorBlock*, MvParameterBlock*);
MvValue* filterReplace(MvPluginErrorBlock*, MvParameterBlock*);
MvValue* filterNormalize(MvPluginErrorBlock*, MvParameterBlock*);
MvValue* filterNormalizeInPlace(MvPluginErrorBlock*, MvParameterBlock*);
MvValue* averageOfImage(MvPluginErrorBlock*, MvParameterBlock*);
MvValue* standardDeviationOfImage(MvPluginErrorBlock*, MvParameterBlock*);
MvValue* correlateImage(MvPluginErrorBlock*, MvParameterBlock*);
MvValue* findMap(MvPluginErrorBlock*, MvParameterBlock*);
MvValue* findRegion(MvPluginErrorBlock*, MvParameterBlock*);
MvValue* drawCircle(MvPluginErrorBlock*, MvParameterBlock*);
MvValue* drawRectangle(MvPluginErrorBlock*, MvParameterBlock*);
MvValue* drawLine(MvPluginErrorBlock*, MvParameterBlock*);
MvValue* fractalMandelbrot(MvPluginErrorBlock*, MvParameterBlock*);
MvValue* fractalJulia(MvPluginErrorBlock*, MvParameterBlock*);

} // namespace MvBuiltins

#endif

// The pipeline that the second build of the drawing units (see
// pipeline_redirect.h) draws on, and that build's entry points.
#ifndef OSTRIVANE_PIPELINE_SHIM_H
#define OSTRIVANE_PIPELINE_SHIM_H

#include "fixed_function.h"

fixedfn::Pipeline &layerPipeline();

void layerInitScene();
void layerOnReshape(int width, int height);
void layerDrawAxes();
void layerDrawFigure();
void layerDrawMatrixPanel();

#endif

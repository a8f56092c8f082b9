#pragma once
// Draws the polar plane diagrams through the toolkit's canvas: the scene of
// polardiagram.h into an off-screen bitmap of the paint box's size, copied
// to the screen in one step so a capture's repaints after every reading do
// not flicker. Nothing is computed here but text heights.

#include "bitmap.h"
#include "canvas.h"
#include "polardiagram.h"

class TZelto;

// The ISO 1940 verdict pictures: a green tick on white, a red cross on
// white.
gui::TBitmap IsoVerdictPicture(TPictureRole role);

// Draws every operation of a scene, in order.
void DrawScene(gui::TCanvas& canvas, const TScene& scene);

// The diagrams of the job drawn into a new bitmap of width x height; empty
// when either is not positive.
gui::TBitmap RenderPlaneDiagrams(const TZelto& core, const TDiagramView& view, int width, int height);

// Renders the diagrams and copies them onto the paint box's canvas at (0, 0).
void PaintPlaneDiagrams(gui::TCanvas& canvas, const TZelto& core, const TDiagramView& view, int width, int height);

#pragma once

void startExerciseScreen();

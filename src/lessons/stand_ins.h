// Procedures of lesson-subsystem modules that are not built yet, which other
// screens already call. Each stands in as an ordinary definition in
// stand_ins.cpp that does nothing; the module that builds one deletes its
// stand-in there (a second definition fails the link, so none is forgotten).
#pragma once

// Prepares the lesson menu for the current user before it is entered (user
// management: starting a row); switching to the menu is the caller's.
void enterLessonMenu();

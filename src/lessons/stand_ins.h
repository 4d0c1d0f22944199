// Procedures of lesson-subsystem modules that are not built yet, which other
// screens already call. Each stands in as an ordinary definition in
// stand_ins.cpp that does nothing; the module that builds one deletes its
// stand-in there (a second definition fails the link, so none is forgotten).
// None is left at the moment.
#pragma once

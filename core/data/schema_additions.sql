-- Tables added after the first nine (schema version 1). A newer program adds
-- them to an older database at start-up; an older program never reads them,
-- so the nine tables above keep every column exactly as it was. Each feature
-- keeps its data in a table of its own, keyed by the row it belongs to.

-- The firm's settings, one row per name (the rates, among others).
CREATE TABLE IF NOT EXISTS TBLSETTING (
  SETNAME  TEXT PRIMARY KEY COLLATE NOCASE,
  SETVALUE TEXT
);

-- A project's own rates and discount; no row means the firm's rates and no
-- discount. NULL rates fall back to the firm's.
CREATE TABLE IF NOT EXISTS TBLPROJECTRATE (
  IntID            INTEGER PRIMARY KEY,
  numOverheadRate  DOUBLE,
  numTaxRate       DOUBLE,
  intDiscountKind  INTEGER NOT NULL DEFAULT 0,
  numDiscountValue DOUBLE NOT NULL DEFAULT 0
);

-- A project's measured rooms, as one text in the order of its sections.
CREATE TABLE IF NOT EXISTS TBLPROJECTROOMS (
  IntID    INTEGER PRIMARY KEY,
  charRooms TEXT
);

-- When and by whom a project was last saved, for the overwrite question.
CREATE TABLE IF NOT EXISTS TBLPROJECTSTAMP (
  IntID          INTEGER PRIMARY KEY,
  dateModified   TEXT,
  charModifiedBy TEXT COLLATE NOCASE
);

-- The measure a catalog entry's quantity follows in a measured room:
-- 0 none, 1 floor, 2 walls, 3 ceiling, 4 perimeter.
CREATE TABLE IF NOT EXISTS TBLPRODUCTMEASURE (
  Product_ID INTEGER PRIMARY KEY,
  intMeasure INTEGER NOT NULL DEFAULT 0
);

-- Quotations kept as named templates for new projects.
CREATE TABLE IF NOT EXISTS TBLTEMPLATE (
  ID            INTEGER PRIMARY KEY AUTOINCREMENT,
  charName      TEXT COLLATE NOCASE,
  charQuotation TEXT,
  charRooms     TEXT,
  dateCreated   TEXT
);

-- Versions of a signed project: number 0 is the quotation as signed, 1, 2, …
-- its change orders. The snapshot holds all it takes to print the version
-- as it stood.
CREATE TABLE IF NOT EXISTS TBLPROJECTVERSION (
  ID           INTEGER PRIMARY KEY AUTOINCREMENT,
  ProjectIntID INTEGER NOT NULL,
  intVersion   INTEGER NOT NULL,
  dateCreated  TEXT,
  numTotal     DOUBLE,
  charSnapshot TEXT
);
CREATE INDEX IF NOT EXISTS idx_version_project ON TBLPROJECTVERSION(ProjectIntID);

PRAGMA user_version = 1;

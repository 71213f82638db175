-- A run log as version 1 wrote it, kept as it was: each later version must
-- open it and show the same vehicle and runs. Statements end with ";" at the
-- end of a line.
CREATE TABLE vehicles (
    id INTEGER PRIMARY KEY,
    name TEXT NOT NULL UNIQUE COLLATE NOCASE CHECK (length(trim(name)) > 0),
    nitrous_jet TEXT NOT NULL,
    fuel_pressure TEXT NOT NULL,
    bottle_pressure TEXT NOT NULL,
    nozzles TEXT NOT NULL,
    hp TEXT NOT NULL,
    weight TEXT NOT NULL,
    track TEXT NOT NULL,
    notes TEXT NOT NULL DEFAULT '');
CREATE TABLE runs (
    id INTEGER PRIMARY KEY,
    vehicle_id INTEGER NOT NULL REFERENCES vehicles (id) ON DELETE RESTRICT,
    run_at INTEGER NOT NULL,
    strip TEXT NOT NULL DEFAULT '',
    strip_elevation_m REAL,
    lane TEXT NOT NULL DEFAULT '',
    et_s REAL NOT NULL CHECK (et_s > 0),
    speed_m_s REAL NOT NULL CHECK (speed_m_s > 0),
    sixty_ft_s REAL CHECK (sixty_ft_s > 0),
    three_thirty_ft_s REAL CHECK (three_thirty_ft_s > 0),
    eighth_et_s REAL CHECK (eighth_et_s > 0),
    eighth_speed_m_s REAL CHECK (eighth_speed_m_s > 0),
    nitrous_jet_in REAL CHECK (nitrous_jet_in > 0),
    air_k REAL NOT NULL,
    air_pressure_kind TEXT NOT NULL CHECK (air_pressure_kind IN ('station', 'altimeter')),
    air_pressure_pa REAL NOT NULL,
    air_altimeter_elevation_m REAL,
    air_moisture_kind TEXT NOT NULL CHECK (air_moisture_kind IN ('dry', 'humidity', 'dew_point')),
    air_moisture REAL,
    notes TEXT NOT NULL DEFAULT '');
CREATE INDEX runs_by_time ON runs (run_at);
CREATE INDEX runs_by_vehicle ON runs (vehicle_id, run_at);
CREATE INDEX runs_by_strip ON runs (strip, run_at);
INSERT INTO vehicles VALUES (7, 'Camaro', '.045', '43', '900', '1', '350', '3,200 lbs',
    'Denver, CO  5800', 'automatic');
-- 2024-06-01 12:00 UTC, Bandimere at 1768 m: 11.92 s at 50.9 m/s, on .045 nitrous,
-- 30 °C at 82000 Pa and 40 %.
INSERT INTO runs VALUES (3, 7, 1717243200000, 'Bandimere', 1768, 'left', 11.92, 50.9,
    1.61, 4.45, 7.6, 40.2, 0.045, 303.15, 'station', 82000, NULL, 'humidity', 0.4, 'first pass');
-- A minute later, no nitrous, no split times: 29.92 inHg altimeter setting at
-- 1768 m, dew point 10 °C.
INSERT INTO runs VALUES (4, 7, 1717243260000, 'Bandimere', NULL, '', 12.5, 48,
    NULL, NULL, NULL, NULL, NULL, 301.15, 'altimeter', 101320, 1768, 'dew_point', 283.15, '');
PRAGMA user_version = 1;

-- The settings record Fotello ships with (one row of Config).
CREATE TABLE Config (
  slide       REAL,
  fundojanela REAL,
  fundotela   REAL,
  thumbs      TEXT,
  ativezoom   TEXT
);
INSERT INTO Config (slide, fundojanela, fundotela, thumbs, ativezoom)
VALUES (3, 8421504, 0, '100 x 100 - 80 x 80', 'Sim');

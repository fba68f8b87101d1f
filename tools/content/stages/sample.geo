# A small sample room: a turf floor, stone walls, a ramp up to a brick ledge.
# The real stages are described the same way; see README.md in this folder.
mesh sample.x
material turf  data/texture/turf.png  16  1 1 1
material stone data/texture/stone.png 16  1 1 1
material brick data/texture/brick.png 16  1 1 1

box turf   -60 -4 -60   60 0 60       # floor, top at 0
box stone  -64 -4 -64  -60 40 64      # west wall
box stone   60 -4 -64   64 40 64      # east wall
box stone  -60 -4  60   60 40 64      # north wall
box stone  -60 -4 -64   60 40 -60     # south wall
ramp stone -20 0 20     0 12 44  +x   # climbs eastward to the ledge
box brick    0 0 20    40 12 44       # the ledge
quad brick  -10 20 -20   10 20 -20   10 20 0   -10 20 0   # a thin roof slab seen from below

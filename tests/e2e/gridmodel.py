"""The program's 70 by 70 grid as the end-to-end tests need it: model files to start from,
reading back what the program saved, and where a grid point lands in the editor view."""

import math
import struct
from dataclasses import dataclass

SIZE = 70
POINT_COUNT = SIZE * SIZE
TRIANGLE_COUNT = 2 * (SIZE - 1) ** 2
FILE_SCALE = 10000
# Half the side of the square of window pixels in which the editor picks a point.
PICK_HALF_WIDTH = 10.0


def f32(value):
    """value rounded to single precision, as the program stores it."""
    return struct.unpack("<f", struct.pack("<f", value))[0]


def point_index(column, row):
    return column + row * SIZE


def point_cell(index):
    return index % SIZE, index // SIZE


def point_xy(index):
    """Model x and y of a fresh grid's point, as the program computes them."""
    column, row = point_cell(index)
    return f32(column / (SIZE - 1) * 2 - 1), f32(row / (SIZE - 1) * 2 - 1)


def to_file(value):
    """A coordinate as the program writes it: the float times 10000, truncated toward zero,
    unless only the neighbour away from zero reads back as the same float (so that loading and
    saving again does not creep toward zero)."""
    value = f32(value)
    number = math.trunc(value * FILE_SCALE)
    if from_file(number) != value:
        away = number + 1 if value > 0 else number - 1
        if from_file(away) == value:
            return away
    return number


def from_file(number):
    return f32(number * 0.0001)


def cell_triangles(column, row, orientation):
    """The two triangles of a cell, corner orders exactly as the grid writes them."""
    sw = point_index(column, row)
    se, nw, ne = sw + 1, sw + SIZE, sw + SIZE + 1
    if orientation == 1:
        return [(sw, nw, ne), (se, sw, ne)]
    return [(sw, nw, se), (se, nw, ne)]


@dataclass
class Model:
    """What a model file holds, as the integers written in it."""

    points: list  # per point: [flags0, flags1, flags2, flags3, x, y, z, w]
    triangles: list  # per triangle: (vertex0, vertex1, vertex2)

    def z(self, index):
        return self.points[index][6]

    def to_bytes(self):
        lines = [",".join(str(field) for field in point) for point in self.points]
        lines += [",".join(str(vertex) for vertex in triangle) for triangle in self.triangles]
        return "".join(line + "\r\n" for line in lines).encode("ascii")


def fresh_model(heights=None):
    """The file a freshly built grid saves, with the given {point index: z} heights set."""
    heights = heights or {}
    points = []
    for index in range(POINT_COUNT):
        column, row = point_cell(index)
        has_cell = column < SIZE - 1 and row < SIZE - 1
        orientation = 1 if has_cell and (column + row) % 2 == 0 else 0
        x, y = point_xy(index)
        z = heights.get(index, 0.0)
        points.append([0, orientation, 0, 0, to_file(x), to_file(y), to_file(z), 0])
    triangles = []
    for row in range(SIZE - 1):
        for column in range(SIZE - 1):
            triangles += cell_triangles(column, row, points[point_index(column, row)][1])
    return Model(points, triangles)


def read_model(path):
    with open(path, "rb") as stream:
        return parse_model(stream.read())


def parse_model(data):
    """A model file as the program writes it; ValueError on anything but its exact format."""
    lines = data.decode("ascii").split("\r\n")
    if lines[-1] != "":
        raise ValueError("the last line has no CR LF")
    lines.pop()
    if len(lines) != POINT_COUNT + TRIANGLE_COUNT:
        raise ValueError(f"{len(lines)} lines, expected {POINT_COUNT + TRIANGLE_COUNT}")
    points = [[int(field) for field in line.split(",")] for line in lines[:POINT_COUNT]]
    triangles = [tuple(int(field) for field in line.split(",")) for line in lines[POINT_COUNT:]]
    return Model(points, triangles)


def triangles_touching(model, index):
    """How many triangles have the point as a corner: what the status bar counts for a single
    point off height 0."""
    return sum(1 for triangle in model.triangles if index in triangle)


# Where things land in the editor view at yaw = pitch = 0. The projection is the identity:
# -1..1 fills the viewport, y points up; client coordinates grow downwards like the mouse's.


def model_to_client(x, y, width, height):
    """Client position (floats) of a model position."""
    return (x + 1) / 2 * width, (1 - y) / 2 * height


def point_to_client(index, width, height):
    x, y = point_xy(index)
    return model_to_client(x, y, width, height)


def cells_around_box(index, width, height):
    """Client box (left, top, right, bottom) of the four cells that share the point: where the
    triangles with the point as a corner are drawn."""
    column, row = point_cell(index)
    left, top = point_to_client(point_index(column - 1, row + 1), width, height)
    right, bottom = point_to_client(point_index(column + 1, row - 1), width, height)
    return left, top, right, bottom


def _inside_pick(point_x, point_y, cursor_x, cursor_y, height):
    """Whether a point (client floats) falls inside the pick square at the cursor, and how far
    it is from the nearest edge of it (negative outside). The square is centred on the cursor
    in OpenGL's upward y, which is height - cursor_y."""
    dx = PICK_HALF_WIDTH - abs(point_x - cursor_x)
    dy = PICK_HALF_WIDTH - abs((height - point_y) - (height - cursor_y))
    return min(dx, dy)


def expected_pick(cursor_x, cursor_y, width, height):
    """The point the editor picks with the cursor at an integer client position on a flat view
    at zero angles: the lowest index inside the pick square, or -1."""
    columns = _reach(cursor_x, width)
    for row in _reach(height - cursor_y, height):
        for column in columns:
            index = point_index(column, row)
            px, py = point_to_client(index, width, height)
            if _inside_pick(px, py, cursor_x, cursor_y, height) >= 0:
                return index
    return -1


def _reach(position, extent):
    """Grid lines (columns, or rows counted upwards) that may lie within the pick square's half
    width of an upward window position, in increasing order."""
    spacing = extent / (SIZE - 1)
    first = math.floor((position - PICK_HALF_WIDTH) / spacing) - 1
    last = math.ceil((position + PICK_HALF_WIDTH) / spacing) + 1
    return range(max(0, first), min(SIZE - 1, last) + 1)


def hover_position(index, width, height, margin=1.0):
    """An integer client position at which the editor picks the given point with every point
    at least margin pixels clear of the pick square's edges, so that rounding cannot change
    the result. Several points always share the 20 by 20 square; the lowest index wins, so the
    point has to sit near the square's lower left corner on screen."""
    px, py = point_to_client(index, width, height)
    best = None
    for cx in range(math.floor(px) - 11, math.ceil(px) + 12):
        for cy in range(math.floor(py) - 11, math.ceil(py) + 12):
            if not (0 <= cx < width and 0 <= cy < height):
                continue
            clearance = min(
                abs(_inside_pick(*point_to_client(other, width, height), cx, cy, height))
                for other in _neighbours(cx, cy, width, height)
            )
            if clearance >= margin and expected_pick(cx, cy, width, height) == index:
                if best is None or clearance > best[0]:
                    best = (clearance, cx, cy)
    if best is None:
        raise ValueError(f"no cursor position picks point {index} in a {width}x{height} view")
    return best[1], best[2]


def _neighbours(cursor_x, cursor_y, width, height):
    """Points near enough to the cursor to matter for its pick square."""
    for row in _reach(height - cursor_y, height):
        for column in _reach(cursor_x, width):
            yield point_index(column, row)

// Inventory.java - counts items on the shelves of a small shop
package shop;

import java.util.HashMap;
import java.util.Map;

public class Inventory {
    private final Map<String, Integer> counts = new HashMap<>();

    /* Adds items; a negative amount removes them. */
    public void add(String item, int amount) {
        int now = counts.getOrDefault(item, 0) + amount;
        if (now < 0) {
            throw new IllegalArgumentException("not enough " + item);
        }
        counts.put(item, now);
    }

    public int count(String item) {
        return counts.getOrDefault(item, 0);
    }

    public static void main(String[] args) {
        Inventory shelf = new Inventory();
        shelf.add("apples", 12);
        shelf.add("apples", -2);
        System.out.println("apples: " + shelf.count("apples"));
    }
}

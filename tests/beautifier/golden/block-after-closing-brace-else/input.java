class A {
    boolean f(Object o) {
        if (o==null)
        {
            while (it.hasNext())
                if (it.next()==null)
                    return true;
        } else
        {
            while (it.hasNext())
                if (o.equals(it.next()))
                    return true;
        }
        return false;
    }
}
